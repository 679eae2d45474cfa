#!/bin/bash
# Runs the static analyzer (clang-tidy, with the checks of .clang-tidy) over
# the product's code as the plug-in is built: 32-bit Windows, with the
# headers of the mingw-w64 cross compiler. Fails on any finding.
#   run-analyzer.sh [SOURCE ROOT]
set -eu
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"
compiler=i686-w64-mingw32-g++-posix
# The cross compiler's own include directories, in its order.
includes=()
while read -r dir; do
  includes+=(-isystem "$dir")
done < <("$compiler" -x c++ -E -v - </dev/null 2>&1 |
         sed -n '/^#include <...> search starts here:/,/^End of search list./p' |
         sed '1d;$d')
sources=$(find plugin ui entrysearch textsearch -name '*.cpp' | sort)
clang-tidy --quiet $sources -- --target=i686-w64-mingw32 -std=c++20 \
  -I"$root" "${includes[@]}"
echo "analyzer: no finding in $(echo "$sources" | wc -w) files"
