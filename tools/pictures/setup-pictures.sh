#!/bin/bash
# Pictures of the setup program's pages and message boxes (setup-*.png), for
# the README: page_pictures.exe goes through an install and an uninstall
# under Wine, in the setup tests' prefix, with two stand-in hosts of other
# versions under Program Files (removed again afterwards) for it to find,
# and a 64-bit one, newer, for it to leave out.
#   setup-pictures.sh BUILD_DIR TARGET_DIR
set -eu
cd "$(dirname "$0")/../.."
build=$(realpath "$1")
target=$2
export WINEPREFIX=$build/wineprefix-setup
scripts/wine-run.sh --prepare >/dev/null

drive_c=$WINEPREFIX/drive_c
work=$drive_c/setup-pictures
host=$drive_c/Program\ Files/Notation\ Program
older_host=$drive_c/Program\ Files/Notation\ Programs/Notation\ 2019
host_64=$drive_c/Program\ Files/Notation\ Program\ 64
own_folder=$drive_c/Program\ Files/QZPlugins
app_paths='Software\Microsoft\Windows\CurrentVersion\App Paths\FINALE.EXE'
clean() {
  for root in HKCU HKLM; do
    timeout 60 wine reg delete "$root\\$app_paths" /f >/dev/null 2>&1 || true
  done
  if [ -f "$own_folder/QZ Search-Replace/uninstall.exe" ]; then
    timeout 60 wine "$own_folder/QZ Search-Replace/uninstall.exe" /S >/dev/null 2>&1
    timeout 60 wineserver -w
  fi
  rm -rf "$work" "$host" "$(dirname "$older_host")" "$host_64" "$own_folder"
}
clean
trap clean EXIT
mkdir -p "$work" "$host" "$older_host" "$host_64"
# The folder, the version[, _64 for the 64-bit program].
place_host() {
  tests/setup/place_host.py \
    "$build/windows/setup-tests/versioned_host${3:-}.exe" "$1/FINALE.EXE" "$2"
}
place_host "$host" 27.1.0.84
place_host "$older_host" 26.3.1.520
place_host "$host_64" 28.0.0.0 _64
# Both are registered too, the older for the user, the newer for the
# machine: each found twice, whichever comes first in Program Files, and
# listed once. (A server started without a display shows no windows: it
# ends first.)
timeout 60 wine reg add "HKCU\\$app_paths" /ve \
  /d 'C:\Program Files\Notation Programs\Notation 2019\FINALE.EXE' /f >/dev/null 2>&1
timeout 60 wine reg add "HKLM\\$app_paths" /ve \
  /d 'C:\Program Files\Notation Program\FINALE.EXE' /f >/dev/null 2>&1
timeout 60 wineserver -w
setup=$(scripts/make-setup.py installer/setup.nsi \
  "$build/windows/plugin/vovadododidarov2000.fxt" dist/INSTALL.txt LICENSE "$work")
# The walk's limit (300 s unless WINE_RUN_TIMEOUT says): a caller that waits
# less gives less, so that the hosts are removed whatever happens.
WINE_RUN_TIMEOUT=${WINE_RUN_TIMEOUT:-300} \
  scripts/wine-run.sh "$build/windows/setup-tests/page_pictures.exe" \
  "C:\\setup-pictures\\$(basename "$setup")" 'C:\Program Files\Notation Program' \
  27.1.0.84 'C:\Program Files\Notation Programs\Notation 2019' \
  'C:\Program Files' 'C:\Program Files\Notation Program 64' \
  'C:\setup-pictures\pictures'
tools/pictures/bmp2png.py "$work/pictures" "$target"
