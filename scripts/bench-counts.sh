#!/bin/bash
# Instruction counts from valgrind's callgrind: one pass of the note-entry
# engine and of its floor, one "Yes to all" and its floor, each counted
# alone (the benchmarks' countedPass), per entry and per text. Counts do
# not depend on how busy the machine is.
#   scripts/bench-counts.sh [build directory]
set -eu
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints the instructions of one counted pass and the number of items.
count() {
  local output
  output=$(valgrind --tool=callgrind --callgrind-out-file="$work/out" \
    --toggle-collect='countedPass*' "$build/$1" --counts "$2" 2>&1)
  local collected items
  collected=$(sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' <<<"$output")
  items=$(sed -n 's/^\(entries\|texts\) \([0-9]*\)$/\2/p' <<<"$output")
  if [ -z "$collected" ] || [ -z "$items" ]; then
    echo "no count from $1 --counts $2:" >&2
    echo "$output" >&2
    exit 1
  fi
  echo "$collected $items"
}

report() {
  local label=$1 unit=$2 units=$3 program=$4 side=$5 floor=$6
  local floorName=${7:-floor}
  local measured baseline plugin items plain
  measured=$(count "$program" "$side")
  baseline=$(count "$program" "$floor")
  read -r plugin items <<<"$measured"
  read -r plain _ <<<"$baseline"
  awk -v l="$label" -v u="$unit" -v us="$units" -v p="$plugin" -v f="$plain" \
    -v n="$items" -v fn="$floorName" 'BEGIN {
      printf "%s: %.1f instructions per %s, %s %.1f, ratio %.2f (%d %s)\n",
             l, p / n, u, fn, f / n, p / f, n, us }'
}

report "note-entry engine" entry entries entry_search_benchmark engine floor
report "text command (Yes to all)" text texts text_search_benchmark command floor
report "text command, code page 932" text texts text_search_benchmark command932 floor
report "text command, code page 65001 (Greek texts)" text texts \
  text_search_benchmark greek65001 greek "single-byte on the same texts"
