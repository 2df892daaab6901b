#!/usr/bin/env bash
# sonvira.exe played for real under wine, on the X display and PulseAudio null sink of
# scripts/headless.sh (./test.sh starts both): an album of two tones, made by the Windows
# packager's command line as a user of the release would make it, started again after a start
# killed outright (whose folder it removes), plays its first tone at
# the sink, a real click on the next button plays the second, a second start is refused, the
# window is 253 x 185 and see-through at its corners, the right-click menu exports a song and
# its lyrics equal to the originals, the window is dragged, docks at the left, top and right
# edges (slides out when the pointer leaves, back when it comes), and the close button ends the process with its
# private folder left empty.
#   sonvira_windows_desktop_test.sh PAKREL_COM WINE_PREFIX [DPI]
# With DPI 192 the prefix's screen has 192 dots per inch: the window is twice as large, and every
# pointer position and size is doubled. With SONVIRA_SCREENSHOT=FILE it also keeps a picture of
# the screen while the first song plays.
# The prefix is made on first use with wine's X11 driver. Wine's 32-bit side may run under
# qemu, where a start takes many seconds, so the waits are long.
set -euo pipefail

pakrel=$(realpath "$1") prefix=$(realpath -m "$2") dpi=${3:-96}
s=$((dpi / 96))
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/support/wine_desktop.sh"
wine_desktop player
pactl info >/dev/null || fail "no sound server"
# The screen's dots per inch, as the display settings set them (by the native 64-bit side,
# where there is one: it starts in a moment).
wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64=$wine
"$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
  fail "could not set the prefix's dots per inch"

# Waits up to $2 seconds for the log to show $1; a player that has ended writes no more.
logged() {
  local i
  for ((i = 0; i < $2; ++i)); do
    grep -qF -- "$1" "$log" 2>/dev/null && return 0
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
      grep -qF -- "$1" "$log" 2>/dev/null
      return
    fi
    sleep 1
  done
  return 1
}

# The frequency the sink plays now, roughly (zero crossings over one second).
heard() {
  timeout 1 parec -d @DEFAULT_MONITOR@ --raw --format=s16le --rate=44100 --channels=1 --latency-msec=50 \
    >"$work/heard.raw" || true
  sox -t raw -r 44100 -e signed -b 16 -c 1 "$work/heard.raw" -n stat 2>&1 |
    awk '/Rough[ ]+frequency/ { print $3 }'
}
near() { awk -v f="$1" -v want="$2" 'BEGIN { exit !(f > want * 0.9 && f < want * 1.1) }'; }

# Two tones, 500 Hz then 1200 Hz, long enough to outlast the slow second start below.
for hz in 500 1200; do
  sox -n -r 44100 -c 2 -b 16 "$work/tone$hz.wav" synth 40 sine "$hz" vol 0.5
  lame --quiet -b 32 "$work/tone$hz.wav" "$work/tone$hz.mp3"
  rm "$work/tone$hz.wav"
  printf '[00:01.00]%s Hz\r\n[00:02.00]%s\r\n' "$hz" "$hz" >"$work/tone$hz.lrc"
done
mkdir "$work/album"
"$wine" "$pakrel" --name "两个音" --description Windows --output-dir "Z:$work/album" \
  --song "1=Z:$work/tone500.mp3" --lyrics "1=Z:$work/tone500.lrc" \
  --song "2=Z:$work/tone1200.mp3" >"$work/make.log" 2>&1 || { cat "$work/make.log"; fail "the album was not written"; }
album=$work/album/两个音.exe
[ -f "$album" ] || fail "no album image"
temp=$(find "$prefix/drive_c/users" -maxdepth 4 -type d -name Temp | head -n 1)
[ -n "$temp" ] || fail "no temporary folder in the prefix"

# What is in the players' private folder, which a new prefix does not have yet.
private_files() { { find "$temp/sonvira" -mindepth 1 2>/dev/null || true; } | sort; }
# What an earlier player, killed, may have left is not this one's.
private_files >"$work/before.txt"
# A player killed outright, as by a crash, leaves its folder, which the next start removes.
"$wine" "$album" --verbose >"$log" 2>&1 &
pid=$!
logged "window shown" 480 || fail "no window shown"
crashed=$(sed -n 's/.*step 2: unpack folder //p' "$log" | tr -d '\r')
[ -n "$crashed" ] || fail "no unpack folder logged"
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
mv "$log" "$work/crashed.log"

"$wine" "$album" --verbose >"$log" 2>&1 &
pid=$!
logged "window shown" 480 || fail "no window shown"
logged "removed the folder of a player that is gone: $crashed" 1 ||
  fail "the folder of the player killed before, $crashed, was not removed"
echo "the folder of a killed player was removed at the next start"
logged "label lblTime = 00:01" 120 || logged "playing" 1 || fail "nothing plays"
sleep 3
first=$(heard)
near "$first" 500 || fail "the first song sounds at ${first:-nothing} Hz, not 500"
echo "first tone heard at $first Hz"
window=$(xdotool search --sync --onlyvisible --name '^Sonvira$' | head -n 1)
[ -n "$window" ] || fail "no window named Sonvira"
# SONVIRA_SCREENSHOT=FILE keeps a picture of the screen with the playing window.
[ -z "${SONVIRA_SCREENSHOT:-}" ] || import -window root "$SONVIRA_SCREENSHOT"

geometry() { xdotool getwindowgeometry --shell "$window"; }
# The window's X or Y now.
coordinate() { geometry | sed -n "s/^$1=//p"; }
eval "$(geometry)"
[ "$WIDTH" -eq $((253 * s)) ] && [ "$HEIGHT" -eq $((185 * s)) ] ||
  fail "the window is $WIDTH x $HEIGHT, not $((253 * s)) x $((185 * s))"
# The corners are cut off by the colour key: there the screen shows what is behind the window,
# the same as just beside it.
pixel() { import -window root -crop "1x1+$1+$2" +repage txt:- | sed -n '2s/.*#\([0-9A-F]\{6\}\).*/\1/p'; }
corner=$(pixel "$X" "$Y") beside=$(pixel "$((X - 1))" "$Y") inside=$(pixel "$((X + 30 * s))" "$((Y + 165 * s))")
[ "$corner" = "$beside" ] && [ "$corner" != "$inside" ] ||
  fail "the top left corner shows $corner, beside the window $beside, inside it $inside"
echo "the window is $WIDTH x $HEIGHT, see-through at its corner"

# Clicks at a point of the layout (of a 96 dpi screen), with the pointer.
click_at() { xdotool mousemove --window "$window" $(($1 * s)) $(($2 * s)) click "${3:-1}"; }

# The next button, 44 x 53 at (106, 120), clicked by the pointer.
click_at 128 146
logged "next button clicked" 60 || fail "the click on the next button did not arrive"
sleep 3
second=$(heard)
near "$second" 1200 || fail "after the next button the sink plays ${second:-nothing} Hz, not 1200"
echo "second tone heard at $second Hz"

# The right button on song button 1 opens the menu; its entry exports the first song and its
# lyrics beside the album.
click_at 22 148 3
under() { xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p'; }
for ((i = 0; i < 60; ++i)); do
  xdotool mousemove --window "$window" $((22 * s + 30)) $((148 * s + 10))
  [ "$(under)" = "$window" ] || break
  sleep 1
done
[ "$(under)" != "$window" ] || fail "no menu under the pointer after a right click"
xdotool click 1
logged "tone500.lrc" 60 || fail "the export did not write the lyrics"
for file in tone500.mp3 tone500.lrc; do
  cmp -s "$work/$file" "$work/album/$file" || fail "the exported $file is not the original"
done
echo "exported the first song and its lyrics"

# A second start of the same album is refused in a box while the first plays.
"$wine" "$album" --verbose >"$work/second.log" 2>&1 &
second_pid=$!
box=$(timeout 600 xdotool search --sync --onlyvisible --name '^错误！$' | head -n 1) ||
  { cat "$work/second.log"; fail "no refusal box"; }
xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool windowfocus --sync "$box" key Return
status=0
wait "$second_pid" || status=$?
[ "$status" -eq 1 ] || { cat "$work/second.log"; fail "the second start ended with $status, not 1"; }
grep -qF "对不起Sonvira已在运行中, 不得重复加载!!" "$work/second.log" || fail "the refusal's words"
echo "second start refused"

# Dragged by its background with the pointer, the window follows.
x0=$(coordinate X)
xdotool mousemove --window "$window" $((30 * s)) $((165 * s)) mousedown 1 sleep 1 mousemove_relative --sync 40 20 sleep 1 \
  mousemove_relative --sync 40 20 sleep 1 mouseup 1
sleep 3
x1=$(coordinate X)
[ "$x1" -ge $((x0 + 60)) ] || fail "dragged 80 pixels to the right, the window moved from x $x0 to $x1"
echo "dragged from x $x0 to $x1"

# Dragged against the left, top and right edges it docks: it slides out when the pointer
# leaves, leaving a strip along the edge, and comes back when the pointer reaches the strip.
# Dragged by its background at (30, 165) until the pointer is at $1 $2.
drag_to() {
  eval "$(geometry)"
  xdotool mousemove --window "$window" $((30 * s)) $((165 * s)) mousedown 1 sleep 1 \
    mousemove --sync "$1" "$2" sleep 1 mouseup 1
}
# Waits for the window's X or Y ($2) to be $3 $4 (a test operator and a number); $1 says what
# the window does then.
moves() {
  local i at
  for ((i = 0; i < 60; ++i)); do
    at=$(coordinate "$2")
    [ "$at" "$3" "$4" ] && { echo "$1: $2 $at"; return; }
    sleep 1
  done
  fail "the window did not do this: $1 ($2 $at)"
}
screen=$(xdotool getdisplaygeometry | cut -d' ' -f1)
drag_to 0 $((Y + 165 * s))
xdotool sleep 1 mousemove 900 700
moves "docked at the left edge, it slides out" X -le $(((30 - 253) * s))
eval "$(geometry)"
xdotool mousemove 1 $((Y + 90 * s))
moves "with the pointer at the left edge, it comes back" X -ge $((-20 * s))
drag_to 600 $((100 * s))
xdotool sleep 1 mousemove 900 700
moves "docked at the top edge, it slides out" Y -le $(((30 - 185) * s))
xdotool mousemove 700 0
moves "with the pointer at the top edge, it comes back" Y -ge $((-20 * s))
drag_to $((screen - 1)) 400
xdotool sleep 1 mousemove 100 700
moves "docked at the right edge, it slides out" X -ge $((screen - 30 * s))
eval "$(geometry)"
xdotool mousemove $((screen - 1)) $((Y + 90 * s))
moves "with the pointer at the right edge, it comes back" X -le $((screen - 233 * s))

# The close button, 44 x 19 at (200, 6): the process ends and leaves nothing behind.
click_at 222 15
logged "window closed" 120 || fail "the close button did not close the window"
for ((i = 0; i < 120; ++i)); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 1
done
! kill -0 "$pid" 2>/dev/null || fail "the player did not end"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "the player ended with status $status"
left=$(private_files | comm -13 "$work/before.txt" - | head -n 5 || true)
[ -z "$left" ] || fail "left in the private folder: $left"
echo "PASS"
