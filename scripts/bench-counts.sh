#!/bin/bash
# Instruction counts from valgrind's callgrind: one pass of the note-entry
# engine and of its floor, one "Yes to all" and its floor, each counted
# alone (the benchmarks' countedPass), per entry, per text or per match.
# Counts do not depend on how busy the machine is.
#   scripts/bench-counts.sh [build directory]
# LONG_ONLY=1: only the long texts. CHECK=1: fail where a ratio passes its
# goal (the dialog at most 2.0 times its floor, everything else 1.5), or
# where a long text's ratio grows by more than half from the smallest size
# counted to the largest: a cost per match that grows with the text. The
# check counts, unless told otherwise, the command alone on every long
# case at 8 and 32 KB in code pages 1252 and 936 (CTest's bench_counts).
set -eu
build=${1:-build}
if [ -n "${CHECK:-}" ]; then
  : "${LONG_ONLY:=1}" "${LONG_SIDES:=command}" "${LONG_SIZES:=8 32}"
  : "${LONG_CODE_PAGES:=1252 936}"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/lines"  # every figure, for the check

# Prints the instructions of one counted pass and the number of items:
#   count PROGRAM ARGUMENTS...   (the program is run with --counts ARGUMENTS)
count() {
  local program=$1
  shift
  local output
  output=$(valgrind --tool=callgrind --callgrind-out-file="$work/out" \
    --toggle-collect='countedPass*' "$build/$program" --counts "$@" 2>&1)
  local collected items
  collected=$(sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' <<<"$output")
  items=$(sed -n 's/^\(entries\|texts\|matches\) \([0-9]*\)$/\2/p' <<<"$output")
  if [ -z "$collected" ] || [ -z "$items" ]; then
    echo "no count from $program --counts $*:" >&2
    echo "$output" >&2
    exit 1
  fi
  echo "$collected $items"
}

# report LABEL UNIT UNITS FLOOR-NAME PROGRAM "SIDE ARGUMENTS" "FLOOR ARGUMENTS"
report() {
  local label=$1 unit=$2 units=$3 floorName=$4 program=$5
  local -a side floor
  read -r -a side <<<"$6"
  read -r -a floor <<<"$7"
  local measured baseline plugin items plain
  measured=$(count "$program" "${side[@]}")
  baseline=$(count "$program" "${floor[@]}")
  read -r plugin items <<<"$measured"
  read -r plain _ <<<"$baseline"
  awk -v l="$label" -v u="$unit" -v us="$units" -v p="$plugin" -v f="$plain" \
    -v n="$items" -v fn="$floorName" 'BEGIN {
      printf "%s: %.1f instructions per %s, %s %.1f, ratio %.2f (%d %s)\n",
             l, p / n, u, fn, f / n, p / f, n, us }' | tee -a "$work/lines"
}

if [ -z "${LONG_ONLY:-}" ]; then
report "note-entry engine" entry entries floor entry_search_benchmark \
  engine floor
report "text command (Yes to all)" text texts floor text_search_benchmark \
  command floor
report "text command, code page 932" text texts floor text_search_benchmark \
  command932 floor
report "text command, code page 65001 (Greek texts)" text texts \
  "single-byte on the same texts" text_search_benchmark greek65001 greek
fi

# One long text of 1 to 32 KB, a match every 10 to 14 bytes: "Yes to all"
# in the results dialog and the command alone, each beside its floor, per
# case, code page and size (LONG_CASES, LONG_CODE_PAGES and LONG_SIZES
# choose fewer, LONG_SIDES one side); the benchmark lists which code pages
# each case is of.
"$build/text_search_benchmark" --long-cases |
  while read -r case codePage; do
    [[ " ${LONG_CASES:-$case} " = *" $case "* ]] || continue
    [[ " ${LONG_CODE_PAGES:-$codePage} " = *" $codePage "* ]] || continue
    for kilobytes in ${LONG_SIZES:-1 2 4 8 16 32}; do
      where="$kilobytes KB, code page $codePage, $case"
      for side in ${LONG_SIDES:-dialog command}; do
        report "long text, $side, $where" match matches floor \
          text_search_benchmark "long $side $codePage $case $kilobytes" \
          "long ${side}floor $codePage $case $kilobytes"
      done
    done
  done

if [ -n "${CHECK:-}" ]; then
  awk '
    { ratio = $0; sub(/.*ratio /, "", ratio); sub(/ .*/, "", ratio)
      goal = /^long text, dialog/ ? 2.0 : 1.5
      if (ratio + 0 > goal) { print "over its goal of " goal ": " $0; bad = 1 }
      if (/^long text/) {
        key = $0; sub(/[0-9]+ KB, /, "", key); sub(/:.*/, "", key)
        if (!(key in first)) first[key] = ratio
        else if (ratio + 0 > 1.5 * first[key]) {
          print "grows with the text, from " first[key] ": " $0; bad = 1 } } }
    END { if (!bad) print "counts: every ratio within its goal"; exit bad }
  ' "$work/lines"
fi
