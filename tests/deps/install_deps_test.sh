#!/bin/bash
# The set-up script (scripts/install-deps.sh) with stand-ins for apt-get,
# dpkg, dpkg-query, id and sleep, as on a fresh machine whose mirror may be
# mid-sync: each row gives how the stand-in apt behaves, the exit code and
# a line the script must print; the calls it made are checked too.
#   install_deps_test.sh WORK_FOLDER
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=${1:?usage: install_deps_test.sh WORK_FOLDER}
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-stable}")
url=http://mirror.example/debian-security/dists/x/main/binary-i386/Packages.xz
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work/bin"
stub() { printf '#!/bin/bash\n%s\n' "$2" >"$work/bin/$1" && chmod +x "$work/bin/$1"; }
# Every package is installed except those in $MISSING.
stub dpkg-query 'for m in $MISSING; do [ "$m" = "${@: -1}" ] && exit 1; done
printf "install ok installed"'
stub dpkg 'echo i386'
stub id 'echo 0'
stub sleep 'echo "sleep $*" >>"$CALLS"'
# apt-get update fails its first $UPDATE_FAILS readings; install refuses
# without -t when $NEEDS_T is set, and always when asked for $BROKEN.
stub apt-get 'echo "apt-get $*" >>"$CALLS"
case $1 in
update) n=$(grep -c "apt-get update" "$CALLS")
  [ "$n" -le "${UPDATE_FAILS:-0}" ] && { echo "E: Failed to fetch '"$url"'  Mirror sync in progress?"; exit 100; }
  exit 0 ;;
install) [[ " $* " = *" ${BROKEN:-none} "* ]] && exit 100
  [ -n "${NEEDS_T:-}" ] && [[ " $* " != *" -t "* ]] && exit 100
  exit 0 ;;
esac'

# name | environment | exit code | a line printed | apt-get calls
rows=(
  "nothing missing|MISSING=|0||"
  "all fetched|MISSING=nsis|0|install-deps: installing: nsis|update install"
  "an index fails twice|MISSING=nsis UPDATE_FAILS=2|0|install-deps: reading the package indexes (3 of 3)|update update update install"
  "an index never comes|MISSING=nsis UPDATE_FAILS=9|0|  $url|update update update install"
  "versions disagree|MISSING=nsis NEEDS_T=1|0|install-deps: trying once more with the versions of $release itself|update install install-t"
  "a package not there|MISSING='nsis wine' BROKEN=wine|1|install-deps: cannot be installed: wine|update install install-t install-s install-s"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name environment code line calls <<<"$row"
  : >"$work/calls"
  out=$(eval "env $environment" PATH="$work/bin:$PATH" CALLS="$work/calls" \
    "$root/scripts/install-deps.sh" 2>&1)
  status=$?
  [ "$status" = "$code" ] || fail "$name: exit $status, expected $code: $out"
  [ -z "$line" ] || grep -qxF -- "$line" <<<"$out" || fail "$name: no line '$line' in: $out"
  made=$(awk '/^apt-get/ {v=$2; if ($0 ~ / -s /) v=v"-s"; else if ($0 ~ / -t /) v=v"-t"; printf "%s ", v}' "$work/calls")
  [ "$made" = "${calls:+$calls }" ] || fail "$name: apt-get calls '$made', expected '$calls'"
  [[ $name != "an index fails twice" ]] || [ "$(grep -c '^sleep' "$work/calls")" = 2 ] ||
    fail "$name: no wait between readings"
done

[ "$failures" -eq 0 ] && echo "set-up script: as expected"
exit $((failures > 0))
