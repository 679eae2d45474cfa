#!/bin/bash
# The style script (scripts/make-styled-prefix.py) on folders that hold
# Wine's light style as a prefix does, with stand-ins for wine and
# wineserver that note their calls: it makes the style, sets it in the
# registry and marks the prefix; a second run finds it done and calls
# nothing; a prefix without the light style is refused; and a failing tool
# stops it with no mark. That the style colours the boxes is checked by the
# end-to-end tests in the prefix CTest makes with it (e2e_styled).
#   styled_prefix_test.sh WORK_FOLDER
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
script=$root/scripts/make-styled-prefix.py
work=${1:?usage: styled_prefix_test.sh WORK_FOLDER}
light=/usr/lib/i386-linux-gnu/wine/i386-windows/light.msstyles
themes=drive_c/windows/resources/themes
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work/bin"
# Stand-ins: wine and wineserver note their arguments; a tool named in
# $FAILING fails.
for tool in wine wineserver i686-w64-mingw32-windres i686-w64-mingw32-ld; do
  real=$(command -v "$tool")
  case $tool in
    wine*) body="echo \"$tool \$*\" >>\"\$CALLS\"" ;;
    *) body="exec $real \"\$@\"" ;;
  esac
  printf '#!/bin/bash\n[ "${FAILING:-}" = %s ] && exit 1\n%s\n' "$tool" "$body" \
    >"$work/bin/$tool"
  chmod +x "$work/bin/$tool"
done
new_prefix() {
  rm -rf "$work/$1" && mkdir -p "$work/$1/$themes/light" &&
    cp "$light" "$work/$1/$themes/light/"
}
run() { PATH=$work/bin:$PATH CALLS=$work/calls WINEPREFIX=$work/$1 "$script"; }

new_prefix ok
: >"$work/calls"
out=$(run ok 2>&1) || fail "the first run failed: $out"
[ "$out" = "styled prefix ready: $work/ok" ] || fail "first run said: $out"
[ -s "$work/ok/$themes/windowslike/windowslike.msstyles" ] || fail "no style made"
[ -f "$work/ok/.styled-prefix" ] || fail "no mark"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
expected="wine reg add $key /v ThemeActive /t REG_SZ /d 1 /f
wine reg add $key /v DllName /t REG_SZ /d C:\\windows\\resources\\themes\\windowslike\\windowslike.msstyles /f
wine reg add $key /v ColorName /t REG_SZ /d Blue /f
wine reg add $key /v SizeName /t REG_SZ /d NormalSize /f
wineserver -w"
[ "$(cat "$work/calls")" = "$expected" ] || fail "calls: $(cat "$work/calls")"
: >"$work/calls"
out=$(run ok 2>&1) || fail "the second run failed: $out"
[ "$out" = "styled prefix ready: $work/ok" ] || fail "second run said: $out"
[ -s "$work/calls" ] && fail "the second run called $(cat "$work/calls")"

mkdir -p "$work/empty"
out=$(run empty 2>&1) && fail "a prefix without the light style was taken"
echo "$out" | grep -q "holds no light style; prepare the prefix first" ||
  fail "without the light style it said: $out"

for tool in i686-w64-mingw32-windres i686-w64-mingw32-ld wine wineserver; do
  new_prefix "$tool"
  FAILING=$tool run "$tool" >/dev/null 2>&1 && fail "a failing $tool was not seen"
  [ -e "$work/$tool/.styled-prefix" ] && fail "marked after a failing $tool"
done

[ "$failures" -eq 0 ] && echo "style script: as expected"
exit $((failures > 0))
