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
mapfile -t sources < <(find plugin ui entrysearch textsearch -name '*.cpp' | sort)
# One clang-tidy a core, each over every n-th file: the files differ in
# size, their order does not.
jobs=$(nproc)
pids=()
for ((first = 0; first < jobs; first++)); do
  share=()
  for ((i = first; i < ${#sources[@]}; i += jobs)); do share+=("${sources[i]}"); done
  [ ${#share[@]} -gt 0 ] || continue
  clang-tidy --quiet "${share[@]}" -- --target=i686-w64-mingw32 -std=c++20 \
    -I"$root" "${includes[@]}" &
  pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
[ $failed = 0 ] || exit 1
echo "analyzer: no finding in ${#sources[@]} files"
