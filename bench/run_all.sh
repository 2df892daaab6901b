#!/usr/bin/env bash
# Every benchmark in bench/, one after the other, each against its reference in the same run;
# prints the machine first, then each script's own lines under its name. The README's
# performance table is taken from this output. Takes about a quarter of an hour.
#   bench/run_all.sh [build-dir] | tee bench-results.txt
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target pakrel sonvira bass \
  playlist_bench player_display_bench docking_idle_bench >/dev/null
source scripts/headless.sh
headless_start

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)," \
  "$(awk '/MemTotal/ { printf "%.0f GB", $2 / 1048576 }' /proc/meminfo)," \
  "$(. /etc/os-release; echo "$PRETTY_NAME"), load before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
section() { echo; echo "== $1"; }
section "packing and unpacking (bench/album/run.sh)"
bench/album/run.sh "$build"
section "the audio library (bench/audio/run_bench.sh)"
BENCH_SECONDS=${AUDIO_SECONDS:-120} bench/audio/run_bench.sh
section "the player window (bench/player/run_bench.sh)"
bench/player/run_bench.sh
section "lyrics and bars (player_display_bench)"
"$build"/bin/player_display_bench
section "the playlist control (playlist_bench)"
QT_QPA_PLATFORM=offscreen "$build"/bin/playlist_bench
section "docking when idle (bench/docking/run.sh)"
bench/docking/run.sh "$build"
