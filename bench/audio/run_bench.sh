#!/usr/bin/env bash
# CPU time of the audio library playing a song against mpg123 playing the same file, both
# in real time to the same PulseAudio output, one after the other in the same run (run side
# by side they disturb each other's numbers). Prints both CPU times and their ratio
# (ours / mpg123's), and the machine. Takes twice the song's length.
#   BENCH_SECONDS  length of the generated song (default 240)
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
c++ -O2 -std=c++20 -Iaudio/include bench/audio/bench_play.cpp -Lbuild/lib -lsonvira_bass \
  -Wl,-rpath,"$PWD/build/lib" -o "$work/bench_play"

# A song-like signal: a chord with a slow tremolo over pink noise, as dense to encode as music.
sox -n -r 44100 -c 2 -b 16 "$work/tones.wav" synth "$seconds" sine 220 sine 277 tremolo 3 40
sox -n -r 44100 -c 2 -b 16 "$work/noise.wav" synth "$seconds" pinknoise vol 0.2
sox -m "$work/tones.wav" "$work/noise.wav" "$work/song.wav"
lame --quiet -b 192 "$work/song.wav" "$work/song.mp3"
rm -f "$work"/*.wav

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
echo "song: ${seconds} s, 192 kbps stereo 44.1 kHz; output: PulseAudio, one after the other, both in real time"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "cpu seconds: sonvira_bass ${ours_cpu}, mpg123 ${mpg123_cpu}"
awk -v a="$ours_cpu" -v b="$mpg123_cpu" 'BEGIN { printf "ratio (ours / mpg123): %.2f\n", a / b }'
