#!/usr/bin/env bash
# Makes the pictures in docs/screenshots/: the packager window with the demo album's songs listed
# and the player window playing the demo album, at the plain density (packager.png, player.png)
# and at twice the density (QT_SCALE_FACTOR=2: packager@2x.png, player@2x.png). Runs on an Xvfb
# display of its own with a PulseAudio null sink (scripts/headless.sh), so nothing shows on the
# desktop; builds pakrel and sonvira first when needed. Needs xdotool and ImageMagick
# (scripts/setup.sh installs both).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build -j "${JOBS:-2}" --target pakrel sonvira >/dev/null

# The packager's boxes show the songs' paths, so they live at a fixed place.
work=/tmp/sonvira-screenshots
rm -rf "$work"
mkdir -p "$work/示范"
out=$repo/docs/screenshots
mkdir -p "$out"

# The largest window, the packager at twice the density, is 1372 x 720.
export HEADLESS_FORCE=1 HEADLESS_SCREEN=1600x1000x24
source scripts/headless.sh
headless_start
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
  headless_cleanup
}
trap cleanup EXIT

# A plain desktop colour, so the player's see-through corners show.
convert -size 16x16 xc:'#56657d' "$work/desktop.png"
display -window root "$work/desktop.png" >/dev/null 2>&1 || true

songs=("小星星" "两只老虎" "Ode to Joy 欢乐颂")
for title in "${songs[@]}"; do
  cp "examples/$title.mp3" "examples/$title.lrc" "$work/示范/"
done
album=$(build/bin/pakrel --name "Sonvira 示范专辑" --description-file examples/description.txt \
  --song 1="$work/示范/${songs[0]}.mp3" --lyrics 1="$work/示范/${songs[0]}.lrc" \
  --song 2="$work/示范/${songs[1]}.mp3" --lyrics 2="$work/示范/${songs[1]}.lrc" \
  --song 3="$work/示范/${songs[2]}.mp3" --lyrics 3="$work/示范/${songs[2]}.lrc" \
  --output-dir "$work")

# The id of the visible window named exactly $1, waiting up to 20 seconds for it.
window_named() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  import -window root "${TMPDIR:-/tmp}/screenshots-failure.png" || true
  echo "screenshots.sh: no window named $1 (the screen is in ${TMPDIR:-/tmp}/screenshots-failure.png)" >&2
  tail -n 20 "$work"/*.log >&2 || true
  return 1
}

# Waits until no visible window is named $1.
window_gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  echo "screenshots.sh: window $1 stays open" >&2
  return 1
}

# capture WINDOW FILE: the window's area of the screen, so its shape shows against the desktop.
capture() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$work/shot.png"
  convert "$work/shot.png" -strip "$2"
  echo "$2 (${WIDTH}x${HEIGHT})"
}

# click SCALE X Y WINDOW: a click at (X, Y) in the window's logical pixels.
click() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$4")"
  xdotool mousemove $((X + $2 * $1)) $((Y + $3 * $1)) click 1
}

# pick SCALE WINDOW X Y TITLE FILE: opens a file dialog with the button at (X, Y), types FILE.
# xdotool types a character outside the keyboard map by remapping a key for it, and now and then
# such a character gets lost; the window then refuses the file with a box of its own (a second
# window named Pakrel), which is closed before the next try.
pick() {
  local try dialog
  for try in 1 2 3 4 5; do
    click "$1" "$3" "$4" "$2"
    dialog=$(window_named "$5")
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 50 "$6"
    xdotool key Return
    window_gone "$5"
    # The window checks the file before it takes the next click.
    sleep 0.5
    if [ "$(xdotool search --onlyvisible --name '^Pakrel$' | wc -l)" -le 1 ]; then return 0; fi
    echo "screenshots.sh: typing $6 failed, once more" >&2
    xdotool key Return
    sleep 0.3
  done
  return 1
}

packager() {
  local scale=$1 file=$2 window
  QT_SCALE_FACTOR=$scale build/bin/pakrel >"$work/pakrel.log" 2>&1 &
  pids+=($!)
  local pid=$!
  window=$(window_named Pakrel)
  sleep 0.5
  click "$scale" 420 17 "$window"
  xdotool type --delay 50 "Sonvira 示范专辑"
  # The rows of slots 1 to 3, and the song and lyrics buttons (logical pixels of the window).
  local rows=(74 98 120) i
  for i in 0 1 2; do
    pick "$scale" "$window" 381 "${rows[$i]}" "选择音乐文件" "$work/示范/${songs[$i]}.mp3"
    pick "$scale" "$window" 653 "${rows[$i]}" "选择歌词文件" "$work/示范/${songs[$i]}.lrc"
  done
  # The pointer rests on the banner, away from every button.
  click "$scale" 60 330 "$window"
  sleep 0.5
  capture "$window" "$out/$file"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

player() {
  local scale=$1 file=$2 window
  QT_SCALE_FACTOR=$scale build/bin/sonvira --album "$album" --verbose >"$work/sonvira.log" 2>&1 &
  pids+=($!)
  local pid=$!
  window=$(window_named Sonvira)
  xdotool mousemove 5 5
  # The same moment of the first song each time: its time label turning to 00:05, when the second
  # lyric line (due at 4.5 seconds) shows.
  for _ in $(seq 200); do
    grep -q "label lblTime = 00:05" "$work/sonvira.log" && break
    sleep 0.1
  done
  grep -q "label lblTime = 00:05" "$work/sonvira.log" || { echo "screenshots.sh: the song does not play" >&2; return 1; }
  capture "$window" "$out/$file"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

packager 1 packager.png
packager 2 packager@2x.png
player 1 player.png
player 2 player@2x.png
