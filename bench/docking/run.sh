#!/usr/bin/env bash
# CPU cost of the docking control: an idle player-sized window slid out at the left edge (its
# timer sleeps until the pointer moves or enters the window), against two references in the
# same run, one after the other: the same window alone, and the same window with a 15 ms timer
# that does nothing (what ticking at the docking pace would cost at the least). Runs under Xvfb
# (started here when there is no display). Prints each one's process CPU time as a share of one
# core and what the X server spent meanwhile. A fourth run docks the window away from every
# edge, where the timer sleeps until the window moves. Goal: under 0.5 % of a core for both.
#   BENCH_SECONDS  length of each measured stretch (default 30)
# Usage: bench/docking/run.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
seconds=${BENCH_SECONDS:-30}
cmake --build "$build" --target docking_idle_bench >/dev/null

source scripts/headless.sh
HEADLESS_FORCE=${HEADLESS_FORCE:-1} headless_start
xdotool mousemove 900 600

# utime + stime of a process in seconds, from /proc.
proc_cpu() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) / hz }' "/proc/$1/stat"; }

run() {  # run [--dock | --bare-timer]: prints "cpu wall x" of the window, then the X server's CPU meanwhile
  local x0 x1 out
  x0=$(proc_cpu "$HEADLESS_XVFB_PID")
  out=$(QT_QPA_PLATFORM=xcb "$build/bin/docking_idle_bench" "$seconds" "$@")
  x1=$(proc_cpu "$HEADLESS_XVFB_PID")
  echo "$out $(awk -v a="$x0" -v b="$x1" 'BEGIN { print b - a }')"
}

read -r ref_cpu ref_wall ref_x ref_xs < <(run)
read -r bare_cpu bare_wall bare_x bare_xs < <(run --bare-timer)
read -r dock_cpu dock_wall dock_x dock_xs < <(run --dock)
read -r rest_cpu rest_wall rest_x rest_xs < <(run --dock-at-rest)
[ "$dock_x" -lt 0 ] || { echo "the docked window did not hide (x = $dock_x)" >&2; exit 1; }

awk -v rc="$ref_cpu" -v rw="$ref_wall" -v rx="$ref_xs" -v bc="$bare_cpu" -v bw="$bare_wall" -v bx="$bare_xs" \
    -v dc="$dock_cpu" -v dw="$dock_wall" -v dx="$dock_xs" -v sc="$rest_cpu" -v sw="$rest_wall" -v sx="$rest_xs" '
BEGIN {
  printf "idle window alone:              %.3f s CPU in %.1f s = %.3f %% of one core (X server %.3f s)\n", rc, rw, 100 * rc / rw, rx
  printf "idle window, bare 15 ms timer:  %.3f s CPU in %.1f s = %.3f %% of one core (X server %.3f s)\n", bc, bw, 100 * bc / bw, bx
  printf "idle window, docked, slid out:  %.3f s CPU in %.1f s = %.3f %% of one core (X server %.3f s)\n", dc, dw, 100 * dc / dw, dx
  printf "docked, away from the edges:    %.3f s CPU in %.1f s = %.3f %% of one core (X server %.3f s)\n", sc, sw, 100 * sc / sw, sx
  printf "slid out / bare 15 ms timer: %.3f; slid out / window alone: %.2f (CPU times of %.3f s are a tick or two of the clock)\n", (bc > 0 ? (dc / dw) / (bc / bw) : 0), (rc > 0 ? (dc / dw) / (rc / rw) : 1), rc
}'
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
