#!/bin/bash
# Runs one fuzz target for a bounded time over its committed corpus (every
# input that ever crashed stays there as a regression input). New inputs go
# to a scratch folder, so the committed corpus is only read.
#   run-fuzz.sh TARGET CORPUS SECONDS
set -u
target=$1
corpus=$2
seconds=$3
work=$(dirname "$target")/work-$(basename "$target")
rm -rf "$work"
mkdir -p "$work/new" "$work/artifacts"
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
"$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
  "$work/new" "$corpus" 2>"$work/log"
status=$?
grep -E 'ERROR|SUMMARY|Test unit' "$work/log"
# What the run did: executions, their rate, coverage and the corpus it
# reached (the committed inputs and the new ones).
executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log")
coverage=$(grep -o 'cov: [0-9]*' "$work/log" | tail -1 | cut -d' ' -f2)
inputs=$(($(ls "$corpus" | wc -l) + $(ls "$work/new" | wc -l)))
echo "$(basename "$target"): ${executions:-0} executions in $seconds s," \
  "${rate:-0} a second; coverage ${coverage:-0} edges; corpus $inputs inputs"
if [ $status -ne 0 ]; then
  echo "$(basename "$target") failed; the input is in $work/artifacts/:"
  tail -40 "$work/log"
fi
exit $status
