#!/usr/bin/env bash
# The player against mpg123, both playing to the same PulseAudio sink in the same run, one
# after the other:
#  - CPU time over BENCH_SECONDS of playing one song (the whole process: window, timers,
#    sound), with the window shown and again with it slid out at the left edge, against mpg123
#    each time; then the demo album (lyrics and bars on) against mpg123 playing the same songs
#    in the same order. CPU time on a virtual machine swings by half or more from one minute to
#    the next with what its host does, so the three are measured in BENCH_ROUNDS rounds, each
#    player run followed at once by mpg123's, and the middle of the rounds' ratios is given.
#    Times are the threads' own, in nanoseconds (/proc/PID/task/*/schedstat);
#  - time from starting a 10-song, 50 MB album image to its first sound at the sink, against
#     mpg123 starting the album's first song, the median of seven starts each, taken in turns.
#     The sink's monitor is recorded throughout; the first sample above a quiet hiss after the
#     start marks the sound;
#  - how late lyric lines are shown against their time tags, against what polling every
#    25 ms (tmrBass) alone would give.
# Runs its own Xvfb and sound server when there are none (scripts/headless.sh).
#   BENCH_SECONDS  playing time of each CPU measure (default 30)
#   BENCH_ROUNDS   rounds of the CPU measures (default 5)
#   BEFORE_PAKREL  another build's pakrel (say, of main): its albums are measured too, in the
#                  same turns (CPU: ours, before, mpg123 each time; first sound: before, ours,
#                  mpg123), to compare a change with what came before it
#   BENCH_CPU_ONLY=1  only the CPU measures
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${BENCH_SECONDS:-30}
rounds=${BENCH_ROUNDS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source scripts/headless.sh
headless_start
cmake --build build --target pakrel >/dev/null

# Song-like signals: a chord with a slow tremolo over pink noise.
song() {  # song <out.mp3> <seconds>
  sox -n -r 44100 -c 2 -b 16 "$work/t.wav" synth "$2" sine 220 sine 277 tremolo 3 40
  sox -n -r 44100 -c 2 -b 16 "$work/n.wav" synth "$2" pinknoise vol 0.2
  sox -m "$work/t.wav" "$work/n.wav" "$work/s.wav"
  lame --quiet -b 192 "$work/s.wav" "$1"
  rm -f "$work"/*.wav
}
# Nanoseconds of CPU the threads of process $1 have taken.
cpu_of() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d\n", s }'; }
# Nanoseconds the process $1 spends over $seconds s, then it is stopped.
cpu_over() {
  local pid=$1 start
  start=$(cpu_of "$pid")
  sleep "$seconds"
  echo $(( $(cpu_of "$pid") - start ))
  kill "$pid"; wait "$pid" 2>/dev/null || true
}
# The player on album $1, its errors to $2, measured from its first second of sound (without
# --verbose, whose log costs a write per label). With a third argument "slid-out" the window
# is first put against the left edge, away from the pointer, where the docking control slides
# it out of sight.
player_cpu() {
  "$1" 2>"$2" &
  local pid=$!
  until pactl list short sink-inputs | grep -q .; do sleep 0.05; done
  sleep 1
  if [ "${3:-}" = slid-out ]; then
    xdotool mousemove 900 600
    xdotool search --name '^Sonvira$' windowmove 1 300 >/dev/null
    sleep 1
  fi
  cpu_over "$pid"
}
# mpg123 on the given songs, measured after it settled.
mpg123_cpu() {
  mpg123 -q -o pulse "$@" &
  local pid=$!
  sleep 2
  cpu_over "$pid"
}

# The album the build before makes of the same songs (pakrel's arguments), in a folder of its own.
before_album() {
  [ -n "${BEFORE_PAKREL:-}" ] || return 0
  local dir; dir=$(mktemp -d "$work/before.XXXXXX")
  "$BEFORE_PAKREL" "$@" --output-dir "$dir"
}

# The albums of the CPU measures: one song, and the demo album with lyrics and bars on.
song "$work/play.mp3" "$((seconds + 10))"
mkdir "$work/one" "$work/demo"
album=$(build/bin/pakrel --name cpu --song 1="$work/play.mp3" --output-dir "$work/one")
before=$(before_album --name cpu --song 1="$work/play.mp3")
demo=(examples/小星星.mp3 examples/两只老虎.mp3 "examples/Ode to Joy 欢乐颂.mp3")
demo_args=(--name demo --song 1="${demo[0]}" --lyrics 1="${demo[0]%.mp3}.lrc"
  --song 2="${demo[1]}" --lyrics 2="${demo[1]%.mp3}.lrc" --song 3="${demo[2]}" --lyrics 3="${demo[2]%.mp3}.lrc")
demo_album=$(build/bin/pakrel "${demo_args[@]}" --output-dir "$work/demo")
before_demo_album=$(before_album "${demo_args[@]}")

# Each round: the player (and the build before), then mpg123 on the same songs, per case.
declare -A cpu=()
for round in $(seq "$rounds"); do
  cpu[ours shown $round]=$(player_cpu "$album" "$work/cpu.log")
  [ -n "$before" ] && cpu[before shown $round]=$(player_cpu "$before" "$work/before-cpu.log")
  cpu[mpg123 shown $round]=$(mpg123_cpu "$work/play.mp3")
  cpu[ours out $round]=$(player_cpu "$album" "$work/out.log" slid-out)
  [ -n "$before" ] && cpu[before out $round]=$(player_cpu "$before" "$work/before-out.log" slid-out)
  cpu[mpg123 out $round]=$(mpg123_cpu "$work/play.mp3")
  cpu[ours demo $round]=$(player_cpu "$demo_album" "$work/demo.log")
  [ -n "$before" ] && cpu[before demo $round]=$(player_cpu "$before_demo_album" "$work/before-demo.log")
  # The songs in a row, as often as needed to outlast the measure.
  cpu[mpg123 demo $round]=$(mpg123_cpu "${demo[@]}" "${demo[@]}" "${demo[@]}")
done

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# cpu_case <who> <case>: the median CPU seconds of the rounds; cpu_ratio <who> <case>: the
# median of the rounds' ratios against mpg123.
cpu_case() {
  local values=()
  for round in $(seq "$rounds"); do values+=("$(awk -v v="${cpu[$1 $2 $round]}" 'BEGIN { print v / 1e9 }')"); done
  median "${values[@]}"
}
cpu_ratio() {
  local values=()
  for round in $(seq "$rounds"); do values+=("$(awk -v a="${cpu[$1 $2 $round]}" -v b="${cpu[mpg123 $2 $round]}" 'BEGIN { print a / b }')"); done
  median "${values[@]}"
}
cpu_report() {
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); output: PulseAudio null sink; load average $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "cpu over $seconds s of playing, medians of $rounds rounds (sonvira, mpg123, the rounds' ratios):"
  local case goal label
  for case in shown out demo; do
    case $case in
      shown) label="one song, window shown" goal=1.3 ;;
      out) label="one song, window slid out" goal=1.1 ;;
      demo) label="the demo album, lyrics and bars on" goal=1.3 ;;
    esac
    printf '  %s: sonvira %.3f s, mpg123 %.3f s, ratio %.2f (goal at most %s)\n' "$label" \
      "$(cpu_case ours $case)" "$(cpu_case mpg123 $case)" "$(cpu_ratio ours $case)" "$goal"
    if [ -n "${BEFORE_PAKREL:-}" ]; then
      printf '    before: %.3f s, ratio %.2f\n' "$(cpu_case before $case)" "$(cpu_ratio before $case)"
    fi
  done
  local ratios=() round
  for round in $(seq "$rounds"); do ratios+=("${cpu[ours shown $round]}/${cpu[mpg123 shown $round]}"); done
  echo "  each round, window shown (ns/ns): ${ratios[*]}"
}
if [ "${BENCH_CPU_ONLY:-}" = 1 ]; then
  cpu_report
  exit 0
fi

# Lyric latency: a 32 s song with a line every 0.47 s (out of step with the timers), how late
# each line's caption changed against its tag, by the playing position the player logged.
song "$work/lyr.mp3" 32
python3 - "$work/lyr.lrc" <<'LRC'
import sys
with open(sys.argv[1], "w") as f:
    for i in range(62):
        t = 1.0 + 0.47 * i
        f.write(f"[{int(t // 60):02d}:{t % 60:05.2f}]line {i}\n")
LRC
mkdir "$work/lyr"
album=$(build/bin/pakrel --name lyrics --song 1="$work/lyr.mp3" --lyrics 1="$work/lyr.lrc" --output-dir "$work/lyr")
"$album" --verbose 2>"$work/lyr.log" &
pid=$!
until grep -qs "label lblTime = 00:31" "$work/lyr.log"; do sleep 0.2; done
kill "$pid"; wait "$pid" 2>/dev/null || true
read -r lyr_count lyr_median lyr_p95 lyr_max lyr_min < <(python3 bench/player/lyric_latency.py "$work/lyr.log" "$work/lyr.lrc")

# First sound of a 10-song, 50 MB album (ten copies of a 5 MB song).
song "$work/big.mp3" 218
mkdir "$work/ten"
args=()
for i in $(seq 10); do cp "$work/big.mp3" "$work/ten/曲$i.mp3"; args+=(--song "$i=$work/ten/曲$i.mp3"); done
album=$(build/bin/pakrel --name ten "${args[@]}" --output-dir "$work/ten")
before=$(before_album --name ten "${args[@]}")
first_sound() {  # first_sound <command...>: seconds from its start to sound at the sink
  parec -d @DEFAULT_MONITOR@ --raw --format=s16le --rate=44100 --channels=1 --latency-msec=5 >"$work/rec.raw" &
  local rec=$!
  sleep 2
  local at; at=$(stat -c %s "$work/rec.raw")
  "$@" 2>/dev/null &
  local pid=$!
  sleep 4
  kill "$pid"; wait "$pid" 2>/dev/null || true
  kill "$rec"; wait "$rec" 2>/dev/null || true
  python3 bench/player/first_sound.py "$work/rec.raw" "$at"
}
# The first start after the sound server came up pays for its first connection; warm it up.
first_sound mpg123 -q -o pulse "$work/ten/曲1.mp3" >/dev/null
firsts=() mpg123_firsts=() before_firsts=()
for _ in 1 2 3 4 5 6 7; do
  [ -n "${BEFORE_PAKREL:-}" ] && before_firsts+=("$(first_sound "$before")")
  firsts+=("$(first_sound "$album")")
  mpg123_firsts+=("$(first_sound mpg123 -q -o pulse "$work/ten/曲1.mp3")")
done
ours_first=$(median "${firsts[@]}")
theirs_first=$(median "${mpg123_firsts[@]}")

cpu_report
echo "first sound, each start: sonvira ${firsts[*]} s; mpg123 ${mpg123_firsts[*]} s"
[ -n "${BEFORE_PAKREL:-}" ] && echo "first sound before, each start: ${before_firsts[*]} s, median $(median "${before_firsts[@]}") s"
awk -v a="$ours_first" -v b="$theirs_first" 'BEGIN {
  printf "first sound of a 10-song 50 MB album, median of 7: sonvira %.3f s, mpg123 %.3f s, ratio %.2f (goal under 0.05 s)\n", a, b, a / b }'
echo "lyric lines shown after their time: median ${lyr_median} ms, 95th percentile ${lyr_p95} ms, max ${lyr_max} ms, min ${lyr_min} ms over ${lyr_count} lines; a 25 ms tmrBass poll alone: median 12.5 ms, max 25 ms"
