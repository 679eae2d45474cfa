#!/bin/bash
# Installs what building and testing need on a Debian machine (as root):
# the mingw-w64 cross compilers (32-bit for the product, 64-bit for the
# setup tests' 64-bit host), 32-bit and 64-bit Wine and Xvfb for the
# end-to-end tests, with the 32-bit Xinerama library and xrandr for their
# layouts of several monitors, the multilib compilers, GoogleTest sources and
# the 32-bit Google Benchmark library for the native tests and benchmarks,
# and clang with its 32-bit sanitizer and libFuzzer runtimes for the fuzz
# targets; clang-tidy, the static analyzer of the product's code; NSIS for
# the setup program; osslsigncode to sign a release, openssl for the signing
# tests' throwaway certificate; valgrind for the benchmarks' instruction
# counts, which a test checks; Pillow to write the README's pictures as PNG;
# pefile to read Wine's light style when making the prefix with visual
# styles; Wine's own fonts, a Japanese and a Devanagari font, and DejaVu Sans
# (Latin, Greek, Cyrillic), so that dialogs under Wine look as on Windows and
# texts of those scripts can be seen in pictures.
# Quick when everything is there: it only asks apt for what is missing.
#   install-deps.sh [MORE PACKAGES...]   (make bench adds its own)
#
# A mirror caught mid-sync fails one package index while the others are
# fetched: the indexes are read again a few times, then the script goes on
# with what apt has, saying which index failed. When the two architectures'
# versions then disagree, it tries once more with the release's own
# versions, and fails only when a package cannot be installed at all.
# APT_RETRY_SECONDS sets the wait between readings (default 15).
set -euo pipefail
packages=(
  "$@"
  make cmake g++ g++-multilib googletest libbenchmark-dev:i386
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 gcc-mingw-w64-x86-64-posix
  wine wine32:i386 wine64 libxinerama1:i386 x11-xserver-utils xvfb xauth
  python3 clang libclang-rt-14-dev clang-tidy
  nsis fonts-wine fonts-ipafont-gothic fonts-lohit-deva fonts-dejavu-core
  osslsigncode openssl python3-pil python3-pefile valgrind
)
missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

say() { echo "install-deps: $*"; }
say "installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  say "run as root (or install these packages first)" >&2
  exit 1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-stable}")
tries=3
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# apt's own lines are shown as they come, so a long download is seen.
for try in $(seq "$tries"); do
  say "reading the package indexes ($try of $tries)"
  apt-get update -q 2>&1 | tee "$log" && break
  [ "$try" -lt "$tries" ] && sleep "${APT_RETRY_SECONDS:-15}"
done
failed=$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$log")
if [ -n "$failed" ]; then
  say "these package indexes could not be read; going on with what apt has:"
  echo "$failed" | sed 's/^/  /'
fi

install() {
  apt-get install -y -q -o Dpkg::Use-Pty=0 --no-install-recommends "$@" "${missing[@]}"
}
install && exit 0
say "trying once more with the versions of $release itself"
install -t "$release" && exit 0

cannot=()
for package in "${missing[@]}"; do
  apt-get install -s -q --no-install-recommends -t "$release" "$package" \
    >/dev/null 2>&1 || cannot+=("$package")
done
if [ ${#cannot[@]} -eq 0 ]; then
  say "each package can be installed, but not all of them together" >&2
else
  say "cannot be installed: ${cannot[*]}" >&2
fi
exit 1
