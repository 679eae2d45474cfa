#!/bin/bash
# Installs what building and testing need on a Debian machine (as root):
# the mingw-w64 cross compilers, 32-bit Wine and Xvfb for the end-to-end
# tests, the multilib compilers, GoogleTest sources and the 32-bit Google
# Benchmark library for the native tests and benchmarks, and clang with its
# 32-bit sanitizer and libFuzzer runtimes for the fuzz targets; clang-tidy,
# the static analyzer of the product's code; NSIS for the setup program;
# osslsigncode to sign a release, openssl for the signing tests' throwaway
# certificate; Pillow to write the README's pictures as PNG; pefile to read
# Wine's light style when making the prefix with visual styles;
# Wine's own fonts, a Japanese and a Devanagari font, and DejaVu Sans (Latin,
# Greek, Cyrillic), so that dialogs under Wine look as on Windows and texts
# of those scripts can be seen in pictures.
# Quick when everything is there: it only asks apt for what is missing.
#   install-deps.sh [MORE PACKAGES...]   (make bench adds its own)
set -eu
packages=(
  "$@"
  make cmake g++ g++-multilib googletest libbenchmark-dev:i386
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 xvfb xauth python3 clang libclang-rt-14-dev clang-tidy
  nsis fonts-wine fonts-ipafont-gothic fonts-lohit-deva fonts-dejavu-core
  osslsigncode openssl python3-pil python3-pefile
)
missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "run as root (or install these packages first)" >&2
  exit 1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
