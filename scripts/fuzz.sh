#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for a given time each, one after another, under
# ASan and UBSan, and keeps what they learn:
#   scripts/fuzz.sh [SECONDS] [fuzz_album fuzz_lyrics ...]
# Each target grows its own working corpus in build-fuzz/corpus/NAME, kept between runs. At the
# end the inputs that reach code the committed seeds in fuzz/corpus/NAME do not are merged into
# them (libFuzzer's -merge=1: the smallest input for each new feature), so the committed corpus
# stays small and its named regression inputs stay. A finding is written to build-fuzz/artifacts/
# and fails the script; a table of runs and executions is printed, and kept in
# build-fuzz/fuzz-report.md.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true

command -v clang++ >/dev/null || scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DSONVIRA_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$(nproc)"

targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  for fuzzer in build-fuzz/bin/fuzz_*; do targets+=("$(basename "$fuzzer")"); done
fi

export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
mkdir -p build-fuzz/artifacts build-fuzz/logs
report=build-fuzz/fuzz-report.md
{
  echo "| target | seconds | executions | per second | coverage (edges) | corpus committed | result |"
  echo "|---|---:|---:|---:|---:|---:|---|"
} >"$report"

status=0
for name in "${targets[@]}"; do
  fuzzer=build-fuzz/bin/$name
  seeds=fuzz/corpus/${name#fuzz_}
  grown=build-fuzz/corpus/$name
  log=build-fuzz/logs/$name.log
  mkdir -p "$grown" "$seeds"
  echo "== $name for ${seconds}s"
  # A one-input timeout of 10 s: the library once froze on a crafted file, and the default
  # (20 minutes) would hide a hang like that inside a short run.
  result=clean
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix=build-fuzz/artifacts/"$name"- "$grown" "$seeds" >"$log" 2>&1; then
    result="FINDING (see $log)"; status=1
    tail -n 40 "$log"
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n1)
  edges=$(grep -o 'cov: [0-9]*' "$log" | tail -n1 | cut -d' ' -f2)
  # New coverage from the grown corpus joins the committed seeds, smallest input first.
  "$fuzzer" -merge=1 -timeout=10 "$seeds" "$grown" >>"$log" 2>&1 || true
  committed=$(find "$seeds" -type f | wc -l)
  echo "| $name | $seconds | ${executions:-?} | ${rate:-?} | ${edges:-?} | $committed | $result |" >>"$report"
done

echo
cat "$report"
exit "$status"
