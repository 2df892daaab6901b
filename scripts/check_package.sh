#!/usr/bin/env bash
# Checks the Debian package made by cpack: its file list, its desktop entries, its declared
# dependencies, and that the installed programs work from where the package puts them.
# Usage: scripts/check_package.sh PACKAGE.deb
set -uo pipefail
deb=$1
src=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # check NAME COMMAND...: runs COMMAND, says ok or FAILED
  local name=$1; shift
  if "$@" >"$work/out" 2>&1; then
    echo "ok      package: $name"
  else
    echo "FAILED  package: $name"; sed 's/^/        /' "$work/out"; failed=1
  fi
}

has_files() {
  dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/list"
  local missing=0 f
  for f in /usr/bin/pakrel /usr/bin/sonvira \
           /usr/share/applications/pakrel.desktop /usr/share/applications/sonvira.desktop \
           /usr/share/icons/hicolor/48x48/apps/pakrel.png /usr/share/icons/hicolor/128x128/apps/pakrel.png \
           /usr/share/icons/hicolor/48x48/apps/sonvira.png /usr/share/icons/hicolor/128x128/apps/sonvira.png \
           /usr/share/doc/sonvira/README.md; do
    grep -qx "$f" "$work/list" || { echo "missing: $f"; missing=1; }
  done
  # Nothing of the build tree: no libraries (the audio library rides inside sonvira), no tests.
  if grep -E '\.(so|a)$|/tests?/|/include/' "$work/list"; then echo "unexpected files above"; missing=1; fi
  return $missing
}

entries_valid() {
  dpkg-deb -x "$deb" "$work/root" || return 1
  local apps=$work/root/usr/share/applications bad=0 entry exec icon size
  desktop-file-validate "$apps/pakrel.desktop" "$apps/sonvira.desktop" || bad=1
  for entry in "$apps"/*.desktop; do
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -x "$work/root/usr/bin/$exec" ] || { echo "$entry: no program $exec"; bad=1; }
    for size in 48 128; do
      [ "$(identify -format %wx%h "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png")" = "${size}x${size}" ] ||
        { echo "$entry: icon $icon at $size"; bad=1; }
    done
  done
  grep -qx 'Exec=sonvira --album %f' "$apps/sonvira.desktop" || { echo "sonvira.desktop does not open albums"; bad=1; }
  return $bad
}

declares_dependencies() {
  local depends dep bad=0
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  # The audio library's own (loaded at run time, so no tool finds them in the programs) and Qt's.
  for dep in libmpg123-0 libsdl2-2.0-0 libpulse0 libqt6widgets6 libqt6gui6 libqt6dbus6; do
    grep -q "\(^\|, \)$dep\( (\|,\|$\)" <<<"$depends" || { echo "missing: $dep"; bad=1; }
  done
  return $bad
}

# The installed programs, as the package lays them out: pack the demo songs with pakrel and
# read the album back with sonvira.
programs_work() {
  local bin=$work/root/usr/bin album
  album=$("$bin/pakrel" --name "包测试" --song 1="$src/examples/小星星.mp3" \
    --lyrics 1="$src/examples/小星星.lrc" --output-dir "$work") || return 1
  [ "$album" = "$work/包测试.exe" ] || { echo "album at $album"; return 1; }
  "$bin/sonvira" --list "$album" | grep -q '小星星' || return 1
  mkdir "$work/songs" && "$bin/sonvira" --extract "$album" "$work/songs" &&
    cmp "$work/songs/小星星.mp3" "$src/examples/小星星.mp3"
}

# The same album for Windows: a PE program at its head, and the songs readable from Linux.
windows_album() {
  local bin=$work/root/usr/bin album
  mkdir "$work/win" && album=$("$bin/pakrel" --target windows --name "包测试"     --song 1="$src/examples/小星星.mp3" --output-dir "$work/win") || return 1
  [ "$(head -c 2 "$album")" = "MZ" ] || { echo "$album does not start as a Windows program"; return 1; }
  "$bin/sonvira" --list "$album" | grep -q '小星星'
}

# The desktop entry's command: the player opens the album and keeps playing until stopped.
album_opens() {
  local album=$work/包测试.exe status
  mkdir -m 700 "$work/run"
  XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
    timeout 4 "$work/root/usr/bin/sonvira" --album "$album"
  status=$?
  [ "$status" -eq 124 ] || { echo "sonvira --album ended by itself with status $status"; return 1; }
}

check "file list" has_files
check "desktop entries" entries_valid
check "dependencies" declares_dependencies
check "installed programs pack and read an album" programs_work
check "installed pakrel makes albums for Windows" windows_album
check "sonvira --album plays the album" album_opens
exit $failed
