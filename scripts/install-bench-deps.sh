#!/bin/bash
# Installs what `make bench` and `make bench-counts` need beyond the build
# (as root): gnuplot without X for the plot, valgrind for the instruction
# counts. Quick when everything is there: it only asks apt for what is
# missing.
set -eu
packages=(gnuplot-nox valgrind)
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
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
