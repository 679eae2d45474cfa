#!/bin/bash
# Runs the tests of dialogs on desktops of several monitors in both of
# their layouts (monitors_test.cpp): a left monitor, the primary, shorter
# than the others, and a right one; then the same without the right one,
# as after undocking. Places are on the X screen; Wine puts the primary,
# the first, at 0,0. WINEPREFIX names a prefix without a virtual desktop.
#   monitors_run.sh FINALE.EXE [ARGS...]
set -u
run=$(dirname "$0")/../../scripts/wine-run.sh
for layout in '1024x768+1280+0 1280x1024+0+0 1280x1024+2304+0' \
  '1024x768+1280+0 1280x1024+0+0'; do
  WINE_MONITORS=$layout "$run" "$1" --strict --gtest_filter='MonitorsTest.*' \
    "${@:2}" || exit 1
done
