#!/usr/bin/env bash
# Makes the small test MP3s of the audio library tests: one-second sine tones at known
# frequencies, in the rates, channel counts and encodings the player meets, a short song for
# the player's long run, a cut file and a file that is not MP3 at all. Run from anywhere;
# writes beside this script.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

tone() {  # tone <out.wav> <rate> <channels> <freq> [<freq right>]
  local out=$1 rate=$2 channels=$3
  shift 3
  sox -n -r "$rate" -c "$channels" -b 16 "$out" synth 1.0 $(printf 'sine %s ' "$@") vol 0.5
}

# Stereo 44.1 kHz CBR: 440 Hz left, 660 Hz right, so channel order shows.
tone "$tmp/s44.wav" 44100 2 440 660
lame --quiet -b 64 --resample 44.1 "$tmp/s44.wav" stereo_44k_cbr.mp3

# A 0.3-second song, so that a long run reaches many natural song ends quickly.
sox -n -r 44100 -c 2 -b 16 "$tmp/short.wav" synth 0.3 sine 440 sine 660 vol 0.5
lame --quiet -b 64 --resample 44.1 "$tmp/short.wav" short_44k_cbr.mp3

tone "$tmp/m22.wav" 22050 1 1000
lame --quiet -b 32 --resample 22.05 "$tmp/m22.wav" mono_22k_cbr.mp3

tone "$tmp/m32.wav" 32000 1 800
lame --quiet -b 32 --resample 32 "$tmp/m32.wav" mono_32k_cbr.mp3

# VBR with its Xing/LAME header, and VBR without any header (-t), whose length only a
# scan of every frame tells.
tone "$tmp/s48.wav" 48000 2 500 750
lame --quiet -V 7 --resample 48 "$tmp/s48.wav" stereo_48k_vbr.mp3
lame --quiet -V 7 -t --resample 44.1 "$tmp/s44.wav" stereo_44k_vbr_noheader.mp3

# Digital silence, which decodes to samples of at most 1: mixed into another stream, it
# leaves that stream's samples all but as they were.
sox -n -r 44100 -c 2 -b 16 "$tmp/quiet.wav" trim 0 1.0
lame --quiet -b 32 --resample 44.1 "$tmp/quiet.wav" quiet_44k_cbr.mp3

# Cut in the middle of a frame.
head -c 5000 stereo_44k_cbr.mp3 > truncated.mp3

printf 'This is a text file with an .mp3 name, not MPEG audio.\r\n%.0s' {1..20} > not_mp3.mp3

ls -l ./*.mp3

# huge_frame_count.mp3 is not made here: 1,833 bytes found by the fuzz target, kept as found.
# Its info frame claims about four billion frames and its frames come at two rates.
