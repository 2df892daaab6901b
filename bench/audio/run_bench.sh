#!/usr/bin/env bash
# Three measures of the audio library, each against a reference in the same run:
#  1. Starting a song: a generated 10-minute 320 kbps song is created (the one scan of the
#     file) and started with BASS_ChannelPlay on SDL's dummy output; prints the median times
#     and the start as a share of the scan (goal: a start of at most 30 ms).
#  2. CPU time of playing a song in real time to the sound server against mpg123 playing the
#     same file, one after the other (run side by side they disturb each other's numbers), and
#     the sound server's own CPU time meanwhile; prints the times and the ratios, ours /
#     mpg123's. Takes twice the song's length.
#  3. The silence between songs at the sink, the sink's monitor recorded: 21 one-second tones
#     played one after the other as the player changes songs (bench_gap: a 25 ms tick, stop,
#     free, create, play), then the player itself on an album of ten of them (with a display),
#     then bench_gap again through SDL's PulseAudio driver (the output before); against mpg123
#     playing them all in one run (gapless). Goal: a median of 20 changes under 30 ms, the
#     worst under 45 ms, no song cut short. About two minutes.
# Run it under scripts/headless.sh's sound server (a null sink), or it starts a private one.
#   BENCH_SECONDS  length of the song of part 2 (default 240)
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${BENCH_SECONDS:-240}
work=$(mktemp -d)
pulse_pid=""
cleanup() {
  [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cmake --build build --target bass >/dev/null
for program in bench_play bench_start bench_gap; do
  c++ -O2 -std=c++20 -Iaudio/include "bench/audio/$program.cpp" -Lbuild/lib -lsonvira_bass \
    -Wl,-rpath,"$PWD/build/lib" -o "$work/$program"
done

# A song-like signal: a chord with a slow tremolo over pink noise, as dense to encode as music.
song() {  # song <seconds> <kbps> <out.mp3>
  sox -n -r 44100 -c 2 -b 16 "$work/tones.wav" synth "$1" sine 220 sine 277 tremolo 3 40
  sox -n -r 44100 -c 2 -b 16 "$work/noise.wav" synth "$1" pinknoise vol 0.2
  sox -m "$work/tones.wav" "$work/noise.wav" "$work/song.wav"
  lame --quiet -b "$2" "$work/song.wav" "$3"
  rm -f "$work"/*.wav
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
song 600 320 "$work/long.mp3"
echo "start of a 10-minute 320 kbps song ($(stat -c %s "$work/long.mp3") bytes), median of 7:"
SDL_AUDIODRIVER=dummy "$work/bench_start" "$work/long.mp3"
rm -f "$work/long.mp3"

# Without a sound server, a private one with a null sink, stopped again at the end.
if ! pactl info >/dev/null 2>&1; then
  export XDG_RUNTIME_DIR="$work/run"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --system=false \
    --load=module-native-protocol-unix --load="module-null-sink sink_name=bench_null" \
    --load=module-always-sink >"$work/pulse.log" 2>&1 &
  pulse_pid=$!
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl set-default-sink bench_null
fi
server_pid=${pulse_pid:-$(cat "${XDG_RUNTIME_DIR:-/nonexistent}/pulse/pid" 2>/dev/null || true)}
server_ticks() { if [ -n "$server_pid" ]; then awk '{ print $14 + $15 }' "/proc/$server_pid/stat"; else echo 0; fi; }
unset SDL_AUDIODRIVER  # the library's own choice: the sound server, directly

song "$seconds" 192 "$work/song.mp3"
timed() {  # timed <name> <command...>: the command's CPU seconds, and the server's meanwhile
  local before after
  before=$(server_ticks)
  /usr/bin/time -f "%U %S" -o "$work/$1.time" "${@:2}"
  after=$(server_ticks)
  awk -v a="$before" -v b="$after" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", (b - a) / hz }' >"$work/$1.server"
}
timed ours "$work/bench_play" "$work/song.mp3"
timed mpg123 mpg123 -q -o pulse "$work/song.mp3"

cpu() { awk '{printf "%.2f", $1 + $2}' "$1"; }
ours_cpu=$(cpu "$work/ours.time")
mpg123_cpu=$(cpu "$work/mpg123.time")
echo "playing: ${seconds} s, 192 kbps stereo 44.1 kHz; output: PulseAudio, one after the other, both in real time"
echo "cpu seconds: sonvira_bass ${ours_cpu}, mpg123 ${mpg123_cpu}"
awk -v a="$ours_cpu" -v b="$mpg123_cpu" 'BEGIN { printf "ratio (ours / mpg123): %.2f\n", a / b }'
if [ -n "$server_pid" ]; then
  echo "the sound server's cpu seconds meanwhile: $(cat "$work/ours.server") with sonvira_bass, $(cat "$work/mpg123.server") with mpg123"
  awk -v a="$ours_cpu" -v b="$mpg123_cpu" -v sa="$(cat "$work/ours.server")" -v sb="$(cat "$work/mpg123.server")" \
    'BEGIN { printf "ratio with the server (ours / mpg123): %.2f\n", (a + sa) / (b + sb) }'
fi
rm -f "$work/song.mp3"

# 21 tones, 440 and 660 Hz by turns, from 1.000 to 1.185 s long, so that the player's 25 ms
# tick meets the ends of songs at every phase.
for i in $(seq -w 0 20); do
  sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth "$(awk -v i="$i" 'BEGIN { printf "%.3f", 1 + (i * 37 % 200) / 1000 }')" \
    sine $(( 10#$i % 2 ? 660 : 440 )) vol 0.5
  lame --quiet -b 192 "$work/tone.wav" "$work/tone$i.mp3"
done
rm -f "$work/tone.wav"
monitor="$(pactl get-default-sink).monitor"
record() {  # record <name> <command...>: records the sink into <name>.raw while the command plays
  parec -d "$monitor" --raw --format=s16le --rate=44100 --channels=2 >"$work/$1.raw" &
  local recorder=$!
  sleep 0.5
  "${@:2}" || true
  sleep 0.5
  kill -INT "$recorder"
  wait "$recorder" 2>/dev/null || true
}
gaps() {  # gaps <name> <label> <songs in the order played...>
  "$work/bench_gap" measure "$work/$1.raw" "${@:3}" >"$work/$1.gap" || true
  echo "$2: $(cat "$work/$1.gap")"
}
median() { sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' "$work/$1.gap"; }

echo "between songs at the sink (tones of about a second, 20 changes):"
record ours "$work/bench_gap" play "$work"/tone*.mp3
gaps ours "sonvira_bass, songs changed as the player does" "$work"/tone*.mp3
if [ -n "${DISPLAY:-}" ]; then
  # The player itself, on an album of the first ten tones: two rounds and the first song again.
  cmake --build build --target pakrel sonvira >/dev/null
  songs=() order=()
  for i in $(seq -w 1 10); do songs+=(--song "$((10#$i))=$work/tone$i.mp3"); order+=("$work/tone$i.mp3"); done
  build/bin/pakrel --name tones --description tones "${songs[@]}" --output-dir "$work" >/dev/null
  record player timeout -s INT 28 build/bin/sonvira --album "$work/tones.exe"
  gaps player "sonvira playing an album of ten of them" "${order[@]}" "${order[@]}" "${order[0]}"
fi
record sdl env SDL_AUDIODRIVER=pulseaudio "$work/bench_gap" play "$work"/tone*.mp3
gaps sdl "sonvira_bass through SDL's PulseAudio driver (the output before)" "$work"/tone*.mp3
record gapless mpg123 -q -o pulse "$work"/tone*.mp3
gaps gapless "mpg123 playing all songs in one run" "$work"/tone*.mp3
awk -v a="$(median ours)" -v c="$(median sdl)" \
  'BEGIN { if (c > 0) printf "median ratio (ours / through SDL): %.2f\n", a / c }'
