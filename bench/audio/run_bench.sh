#!/usr/bin/env bash
# Two measures of the audio library, each against a reference in the same run:
#  1. Starting a song: a generated 10-minute 320 kbps song is created (the one scan of the
#     file) and started with BASS_ChannelPlay on SDL's dummy output; prints the median times
#     and the start as a share of the scan (goal: a start of at most 30 ms).
#  2. CPU time of playing a song in real time to PulseAudio against mpg123 playing the same
#     file, one after the other (run side by side they disturb each other's numbers); prints
#     both CPU times and their ratio, ours / mpg123's (goal: at most 1.5). Takes twice the
#     song's length.
# Run it under scripts/headless.sh's sound server, or it starts a private one.
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
for program in bench_play bench_start; do
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

song "$seconds" 192 "$work/song.mp3"

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

/usr/bin/time -f "%U %S" -o "$work/ours.time" env SDL_AUDIODRIVER=pulseaudio "$work/bench_play" "$work/song.mp3"
/usr/bin/time -f "%U %S" -o "$work/mpg123.time" mpg123 -q -o pulse "$work/song.mp3"

cpu() { awk '{printf "%.2f", $1 + $2}' "$1"; }
ours_cpu=$(cpu "$work/ours.time")
mpg123_cpu=$(cpu "$work/mpg123.time")
echo "playing: ${seconds} s, 192 kbps stereo 44.1 kHz; output: PulseAudio, one after the other, both in real time"
echo "cpu seconds: sonvira_bass ${ours_cpu}, mpg123 ${mpg123_cpu}"
awk -v a="$ours_cpu" -v b="$mpg123_cpu" 'BEGIN { printf "ratio (ours / mpg123): %.2f\n", a / b }'
