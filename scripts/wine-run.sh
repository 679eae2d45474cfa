#!/bin/bash
# Runs a Windows program of the project under Wine, in the private prefix
# named by WINEPREFIX, on an X server of its own (Xvfb), with a watchdog.
#   wine-run.sh --prepare        create the prefix once (no crash dialog)
#   wine-run.sh PROGRAM ARGS...  run PROGRAM, then stop the prefix's server
set -u
: "${WINEPREFIX:?WINEPREFIX must name the private prefix}"
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
export GTEST_COLOR=no
timeout_seconds=${WINE_RUN_TIMEOUT:-500}

if [ "${1:-}" = "--prepare" ]; then
  # The marker is written last: a prefix whose set-up was cut short is
  # set up again.
  if [ ! -f "$WINEPREFIX/.project-configured" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    timeout 300 wineboot --init >/dev/null 2>&1
    # A crash must fail the run instead of waiting for a click.
    timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
      /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Windows live on a virtual desktop that draws their frames: no window
    # manager is needed, and showing or hiding a window never waits on X.
    timeout 60 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop \
      /t REG_SZ /d Default /f >/dev/null 2>&1
    timeout 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
      /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] && touch "$WINEPREFIX/.project-configured"
  fi
  [ -f "$WINEPREFIX/.project-configured" ] || { echo "could not create $WINEPREFIX"; exit 1; }
  # Wine's own fonts (Marlett draws the title bar buttons; MS Sans Serif and
  # Tahoma the dialogs) go where every program of the prefix finds them:
  # this Wine does not look for them in its data folder.
  cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  echo "wine prefix ready: $WINEPREFIX"
  exit 0
fi

program=$1
shift
cd "$(dirname "$program")" || exit 1
timeout --kill-after=10 "$timeout_seconds" \
  xvfb-run -a -s '-screen 0 1024x768x24' \
  wine "$(basename "$program")" "$@" 2> >(grep -v -E '^(X connection|[0-9a-f]{4}:err:ole)' >&2)
status=$?
wineserver -k 2>/dev/null
exit $status
