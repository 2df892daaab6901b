#!/usr/bin/env bash
# Makes the demo album's songs: three folk melodies played by a plucked string (sox), encoded
# as 128 kbit/s MP3 (lame). The MP3s are committed; run this only to make them again.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Semitones from A4 (440 Hz) for the note names used below.
declare -A semis=([G3]=-14 [A3]=-12 [B3]=-10 [C4]=-9 [D4]=-7 [E4]=-5 [F4]=-4 [G4]=-2 [A4]=0 [B4]=2 [C5]=3)

# song FILE BEAT_SECONDS NOTE:BEATS...
song() {
  local out=$1 beat=$2; shift 2
  local parts=() i=0
  for tone in "$@"; do
    local note=${tone%%:*} beats=${tone##*:}
    local len; len=$(awk -v b="$beat" -v n="$beats" 'BEGIN { printf "%.3f", b * n }')
    local part="$work/$(printf '%04d' $i).wav"
    if [ "$note" = R ]; then
      sox -q -n -r 44100 -c 2 "$part" trim 0 "$len"
    else
      sox -q -n -r 44100 -c 2 "$part" synth "$len" pluck "%${semis[$note]}" fade q 0.005 "$len" 0.08 gain -8
    fi
    parts+=("$part"); i=$((i + 1))
  done
  sox -q "${parts[@]}" "$work/song.wav" reverb 30 pad 0.5 1
  lame --silent -b 128 "$work/song.wav" "$out"
  rm -f "$work"/*.wav
}

twinkle=(C4:1 C4:1 G4:1 G4:1 A4:1 A4:1 G4:2 F4:1 F4:1 E4:1 E4:1 D4:1 D4:1 C4:2
         G4:1 G4:1 F4:1 F4:1 E4:1 E4:1 D4:2 G4:1 G4:1 F4:1 F4:1 E4:1 E4:1 D4:2
         C4:1 C4:1 G4:1 G4:1 A4:1 A4:1 G4:2 F4:1 F4:1 E4:1 E4:1 D4:1 D4:1 C4:2)
song "小星星.mp3" 0.5 "${twinkle[@]}"

tigers=(C4:1 D4:1 E4:1 C4:1 C4:1 D4:1 E4:1 C4:1 E4:1 F4:1 G4:2 E4:1 F4:1 G4:2
        G4:0.5 A4:0.5 G4:0.5 F4:0.5 E4:1 C4:1 G4:0.5 A4:0.5 G4:0.5 F4:0.5 E4:1 C4:1
        C4:1 G3:1 C4:2 C4:1 G3:1 C4:2)
song "两只老虎.mp3" 0.45 "${tigers[@]}" "${tigers[@]}"

joy=(E4:1 E4:1 F4:1 G4:1 G4:1 F4:1 E4:1 D4:1 C4:1 C4:1 D4:1 E4:1 E4:1.5 D4:0.5 D4:2
     E4:1 E4:1 F4:1 G4:1 G4:1 F4:1 E4:1 D4:1 C4:1 C4:1 D4:1 E4:1 D4:1.5 C4:0.5 C4:2)
song "Ode to Joy 欢乐颂.mp3" 0.5 "${joy[@]}"
ls -l ./*.mp3
