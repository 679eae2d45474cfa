#!/bin/bash
# Checks the built plug-in's linkage: a 32-bit PE DLL exporting exactly the
# six entry points under plain names, importing from FINALE.EXE by ordinal
# only, and needing no DLL of the cross toolchain.
set -u
plugin=${1:?usage: check-linkage.sh PLUGIN}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
dump=$("$objdump" -p "$plugin") || { echo "cannot read $plugin"; exit 1; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

echo "$dump" | grep -q '^Magic[[:space:]]*010b' || fail "not a PE32 (32-bit) image"
echo "$dump" | grep -q 'DLL$' || fail "not a DLL"

exports=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' | sort | tr '\n' ' ')
expected="FinaleExtensionEnumerate FinaleExtensionGetMenuStatus FinaleExtensionInit FinaleExtensionInvoke FinaleExtensionTerminate FinaleExtensionVersion "
[ "$exports" = "$expected" ] || fail "exports are '$exports', expected '$expected'"

allowed='^(FINALE\.EXE|KERNEL32\.dll|USER32\.dll|GDI32\.dll|ADVAPI32\.dll|msvcrt\.dll)$'
dlls=$(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
for dll in $dlls; do
  echo "$dll" | grep -qiE "$allowed" || fail "imports from $dll"
done
echo "$dlls" | grep -qx 'FINALE.EXE' || fail "imports nothing from FINALE.EXE"

# Every import from FINALE.EXE must be by ordinal: the lookup entry has its
# top bit set and objdump shows no member name.
finale=$(echo "$dump" | awk '/DLL Name: FINALE.EXE/{on=1; next} on && /^[[:space:]]*$/{on=0} on')
entries=$(echo "$finale" | awk '$1 ~ /^[0-9a-f]+$/ && length($1) == 8')
[ -n "$entries" ] || fail "no import entries from FINALE.EXE"
named=$(echo "$entries" | awk '$1 !~ /^[89a-f]/ || $3 != "<none>"')
[ -z "$named" ] || fail "imports from FINALE.EXE by name: $named"

if [ "$failures" -eq 0 ]; then
  echo "linkage of $plugin: 32-bit DLL, six plain exports, FINALE.EXE by ordinal, no toolchain DLLs"
fi
exit $((failures > 0))
