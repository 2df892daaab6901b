#!/usr/bin/env bash
# pakrel.exe used for real under wine, on the X display of scripts/headless.sh (./test.sh starts
# it): the keyboard names an album and types a song's path, the pointer hovers over the build
# button (the window turns magenta), a click on the build button writes NAME.exe beside the
# program, and the quit button clicked during a second build asks, stops it and ends the
# program. pakrel.com then builds the first album from its command line: the same bytes.
#   pakrel_windows_desktop_test.sh PAKREL_EXE PAKREL_COM WINE_PREFIX
# With PAKREL_SCREENSHOT=FILE it also keeps a picture of the window with the name and the song
# typed. The prefix is made on first use with wine's X11 driver. Wine's 32-bit side may run
# under qemu, where a start takes many seconds, so the waits are long.
set -euo pipefail

pakrel_exe=$(realpath "$1") pakrel_com=$(realpath "$2") prefix=$(realpath -m "$3")
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/support/wine_desktop.sh"
wine_desktop pakrel

# A short tone as the one song; its file name gives the song's title.
sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 2 sine 440 vol 0.5
lame --quiet -b 32 "$work/tone.wav" "$work/tone.mp3"
rm "$work/tone.wav"
song='Z:'$(printf '%s' "$work/tone.mp3" | tr / '\\')
name=DeskAlbum

mkdir "$work/gui" "$work/cli"
cp "$pakrel_exe" "$work/gui/pakrel.exe"
"$wine" "$work/gui/pakrel.exe" >"$log" 2>&1 &
pid=$!
window=$(timeout 900 xdotool search --sync --onlyvisible --name '^Pakrel$' | head -n 1) ||
  fail "no window named Pakrel"
sleep 5

# The colour of one pixel of the screen, as "r,g,b".
pixel() {
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "1x1+$1+$2" +repage \
    -format '%[fx:round(255*u.r)],%[fx:round(255*u.g)],%[fx:round(255*u.b)]' info:
}
# Without a window manager the window is its client area; a pixel of the bare window right of
# the banner, design pixel (138, 2), shows the design's background.
eval "$(xdotool getwindowgeometry --shell "$window")"
cx=$X cy=$Y
[ "$(pixel $((cx + 138)) $((cy + 2)))" = "235,233,237" ] || fail "no window background (235, 233, 237) at ($cx, $cy)"
# Clicks at design pixels of the client area.
click() { xdotool mousemove --sync $((cx + $1)) $((cy + $2)) sleep 0.5 click 1; }

# Text1, the album name; Text2(1), the first song's path.
click 300 17
xdotool type --delay 80 "$name"
click 240 74
xdotool type --delay 80 "$song"
sleep 1
[ -z "${PAKREL_SCREENSHOT:-}" ] || import -window "$window" "$PAKREL_SCREENSHOT"
# The build button's face is grey; the pointer over it turns the window magenta.
[ "$(pixel $((cx + 150)) $((cy + 310)))" = "192,192,192" ] || fail "the build button is not grey"
xdotool mousemove --sync $((cx + 200)) $((cy + 320))
sleep 2
xdotool mousemove --sync $((cx + 138)) $((cy + 40))
sleep 2
[ "$(pixel $((cx + 138)) $((cy + 2)))" = "255,0,255" ] || fail "the window did not turn magenta under the build button"

click 197 323
# The album appears whole (it is written under another name first); a box instead says why not.
for ((i = 0; i < 600; ++i)); do
  [ ! -f "$work/gui/$name.exe" ] || break
  box=$(xdotool search --onlyvisible --name '^(无专辑名|无专辑说明|打包失败|错误)$' getwindowname %@ 2>/dev/null || true)
  [ -z "$box" ] || fail "a box titled '$box' came up instead of the album"
  sleep 1
done
[ -f "$work/gui/$name.exe" ] || fail "no $name.exe beside pakrel.exe after the build button"
echo "the window built $name.exe"
# The completion note, yellow, between the build and the quit buttons.
sleep 3
import -window root "$work/screen.png"
convert "$work/screen.png" -crop "340x16+$((cx + 260))+$((cy + 306))" +repage -format %c histogram:info: |
  grep -q '(255,255,0)' || fail "no completion note after the build"

# A second build, of long songs, and the quit button while it runs: the window asks whether
# to stop it, and yes stops it, removes the half-made album and ends the program.
sox -n -r 44100 -c 2 -b 16 "$work/long.wav" synth 600 sine 440 vol 0.5
lame --quiet -b 320 "$work/long.wav" "$work/long.mp3"
rm "$work/long.wav"
click 300 17
xdotool type --delay 80 Long
# In five slots, so that the build outlasts the click by seconds.
for y in 74 98 120 146 170; do
  click 240 "$y"
  xdotool type --delay 40 'Z:'"$(printf '%s' "$work/long.mp3" | tr / '\\')"
done
click 197 323
xdotool mousemove --sync $((cx + 644)) $((cy + 324)) click 1
asked=""
for ((i = 0; i < 300; ++i)); do
  asked=$(xdotool search --onlyvisible --name '^Pakrel$' | grep -vx "$window" | head -n 1 || true)
  [ -z "$asked" ] || break
  kill -0 "$pid" 2>/dev/null || break
  sleep 1
done
[ -n "$asked" ] || fail "the quit button during a build ended the program without asking"
xdotool windowactivate --sync "$asked" key y 2>/dev/null || xdotool windowfocus --sync "$asked" key y
for ((i = 0; i < 120; ++i)); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 1
done
! kill -0 "$pid" 2>/dev/null || fail "pakrel.exe did not end after yes to stopping the build"
pid=""
left=$(find "$work/gui" -name '*Long.exe*')
[ -z "$left" ] || fail "the stopped build left $left"
echo "the quit button during a build asked, stopped it and ended the program"

# The console program builds the same album from its command line.
"$wine" "$pakrel_com" --name "$name" --song "1=$song" --output-dir 'Z:'"$(printf '%s' "$work/cli" | tr / '\\')" \
  >"$work/cli.log" 2>&1 || { cat "$work/cli.log"; fail "pakrel.com failed"; }
[ -f "$work/cli/$name.exe" ] || { cat "$work/cli.log"; fail "pakrel.com wrote no $name.exe"; }
cmp "$work/gui/$name.exe" "$work/cli/$name.exe" || fail "the window's album and the command line's differ"
echo "the command line's album is the window's, byte for byte"
echo "PASS"
