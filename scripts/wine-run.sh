#!/bin/bash
# Runs a Windows program of the project under Wine, in the private prefix
# named by WINEPREFIX, on an X server of its own (Xvfb), with a watchdog.
#   wine-run.sh --prepare        create the prefix once (no crash dialog);
#                                WINE_PREFIX_FROM: start it as a copy of
#                                that prepared prefix; WINE_DPI: the screen's
#                                dots per inch (96 when not given);
#                                WINE_DESKTOP=none: no virtual desktop, so
#                                that Wine sees the X screen's monitors;
#                                WINE_PREFIX_ARCH=win64: a 64-bit prefix
#                                (32-bit when not given)
#   wine-run.sh PROGRAM ARGS...  run PROGRAM, then stop the prefix's server;
#                                WINE_MONITORS="WxH+X+Y ...": on one X
#                                screen split into these monitors (places
#                                on the screen; the first is the primary)
set -u
: "${WINEPREFIX:?WINEPREFIX must name the private prefix}"
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=${WINE_PREFIX_ARCH:-win32}
export GTEST_COLOR=no
timeout_seconds=${WINE_RUN_TIMEOUT:-500}

if [ "${1:-}" = "--prepare" ]; then
  # The marker is written last: a prefix whose set-up was cut short is
  # set up again.
  # A copy of a prepared prefix takes a second where a new one takes a
  # minute; the one copied must not be in use.
  from=${WINE_PREFIX_FROM:-}
  if [ ! -f "$WINEPREFIX/.project-configured" ] && [ -n "$from" ] &&
    [ -f "$from/.project-configured" ]; then
    rm -rf "$WINEPREFIX" && cp -a "$from" "$WINEPREFIX"
  fi
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
  fonts=$WINEPREFIX/drive_c/windows/Fonts
  cp -u /usr/share/wine/fonts/* "$fonts/" 2>/dev/null
  # Under UTF-8 the plug-in shows the user's text in "MS Shell Dlg 2", a
  # face Windows links fonts of other scripts to. Wine maps that name to its
  # Tahoma, which has no Greek, and rewrites Tahoma's links at every start;
  # so here the name maps to DejaVu Sans (Latin, Greek, Cyrillic), linked to
  # IPAGothic (Japanese) and Lohit Devanagari, which Wine finds by file name
  # in the prefix's fonts (it looks up a bold face's links under the bold
  # face's own name). Edits draw through Wine's Uniscribe, which takes
  # Japanese from its fallback face for Han and Kana, SimSun: that name maps
  # to IPAGothic. Nothing else in the prefix uses these names.
  nt='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
  links='ipag.ttf,IPAGothic\0Lohit-Devanagari.ttf,Lohit Devanagari'
  set_nt() { timeout 60 wine reg add "$nt\\$1" /v "$2" /t "$3" /d "$4" /f \
    >/dev/null 2>&1; }
  if [ ! -f "$WINEPREFIX/.fonts-linked" ]; then
    cp /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf \
      /usr/share/fonts/truetype/lohit-devanagari/Lohit-Devanagari.ttf \
      "$fonts/" &&
      set_nt FontSubstitutes 'MS Shell Dlg 2' REG_SZ 'DejaVu Sans' &&
      set_nt FontSubstitutes SimSun REG_SZ IPAGothic &&
      set_nt 'FontLink\SystemLink' 'DejaVu Sans' REG_MULTI_SZ "$links" &&
      set_nt 'FontLink\SystemLink' 'DejaVu Sans Bold' REG_MULTI_SZ "$links" &&
      wineserver -w && touch "$WINEPREFIX/.fonts-linked"
  fi
  [ -f "$WINEPREFIX/.fonts-linked" ] || { echo "could not link fonts in $WINEPREFIX"; exit 1; }
  # Dialogs are checked at a higher resolution too, where a size in points
  # is a different number of pixels.
  dpi=${WINE_DPI:-96}
  if [ "$(cat "$WINEPREFIX/.dpi" 2>/dev/null)" != "$dpi" ]; then
    timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
      /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 && wineserver -w &&
      echo "$dpi" >"$WINEPREFIX/.dpi"
  fi
  [ "$(cat "$WINEPREFIX/.dpi" 2>/dev/null)" = "$dpi" ] || { echo "could not set $dpi dpi in $WINEPREFIX"; exit 1; }
  # Several monitors need windows of their own on the X screen, and Wine
  # reading them through Xinerama: RandR shows it one monitor per output.
  if [ "${WINE_DESKTOP:-}" = none ] && [ ! -f "$WINEPREFIX/.no-desktop" ]; then
    timeout 60 wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f \
      >/dev/null 2>&1
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR \
      /t REG_SZ /d N /f >/dev/null 2>&1 && wineserver -w &&
      touch "$WINEPREFIX/.no-desktop"
  fi
  [ "${WINE_DESKTOP:-}" != none ] || [ -f "$WINEPREFIX/.no-desktop" ] || { echo "could not leave the desktop in $WINEPREFIX"; exit 1; }
  echo "wine prefix ready: $WINEPREFIX"
  exit 0
fi

# The X screen holds every monitor; each is named to xrandr with its size
# in millimetres at 96 dots per inch. The server must outlive its first
# client (xrandr) for Wine to find the monitors.
screen=1024x768
monitors=()
if [ -n "${WINE_MONITORS:-}" ]; then
  width=0 height=0 output=screen
  for monitor in $WINE_MONITORS; do
    IFS='x+' read -r w h x y <<<"$monitor"
    width=$((x + w > width ? x + w : width))
    height=$((y + h > height ? y + h : height))
    monitors+=("xrandr --setmonitor M${#monitors[@]} $w/$((w * 254 / 960))x$h/$((h * 254 / 960))+$x+$y $output >/dev/null")
    output=none
  done
  screen=${width}x$height
fi
program=$1
shift
cd "$(dirname "$program")" || exit 1
setup=$(printf '%s && ' "${monitors[@]}")
timeout --kill-after=10 "$timeout_seconds" \
  xvfb-run -a -s "-screen 0 ${screen}x24 -noreset" \
  sh -c "${monitors[*]:+$setup}exec wine \"\$0\" \"\$@\"" "$(basename "$program")" "$@" \
  2> >(grep -v -E '^(X connection|[0-9a-f]{4}:err:ole)' >&2)
status=$?
wineserver -k 2>/dev/null
exit $status
