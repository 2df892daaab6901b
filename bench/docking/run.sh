#!/usr/bin/env bash
# CPU cost of the docking timer: an idle player-sized window hidden at the left edge with its
# TaskBar ticking every 15 ms, against two references in the same run, one after the other:
# the same window alone, and the same window with a 15 ms timer that does nothing (the least
# any control ticking at that pace costs). Runs under Xvfb (started here when there is no
# display). Prints each one's process CPU time as a share of one core, the docking's own cost
# per tick beyond the bare timer, and what the X server spent meanwhile.
# A fourth run docks the window away from every edge, where the timer sleeps until it moves.
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
  printf "idle window, docked (15 ms):    %.3f s CPU in %.1f s = %.3f %% of one core (X server %.3f s)\n", dc, dw, 100 * dc / dw, dx
  printf "docked, away from the edges:   %.3f s CPU in %.1f s = %.3f %% of one core (X server %.3f s)\n", sc, sw, 100 * sc / sw, sx
  ticks = dw * 1000 / 15
  printf "docked / bare timer: %.2f; docking beyond the bare timer: %.1f us per tick\n", (dc / dw) / (bc / bw), 1e6 * (dc / dw - bc / bw) * dw / ticks
}'
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
