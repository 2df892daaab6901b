#!/usr/bin/env bash
# Checks the release for Windows: what the zip holds, that its programs import only Windows'
# own DLLs, and that its packager writes the same albums as the Linux one, for both systems,
# where each system's player reads the other's album.
# Usage: scripts/check_windows_release.sh ZIP LINUX_BUILD_DIR WINE_PREFIX
set -uo pipefail
zip=$(realpath "$1") linux=$(realpath "$2") prefix=$(realpath -m "$3")
src=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # check NAME COMMAND...: runs COMMAND, says ok or FAILED
  local name=$1; shift
  if "$@" >"$work/out" 2>&1; then
    echo "ok      windows release: $name"
  else
    echo "FAILED  windows release: $name"; sed 's/^/        /' "$work/out"; failed=1
  fi
}

release=""
holds_the_programs() {
  (cd "$work" && cmake -E tar xf "$zip") || return 1
  release=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'sonvira-*-win32')
  [ -n "$release" ] || { echo "no sonvira-VERSION-win32 folder in the zip"; return 1; }
  local listed
  listed=$(cd "$release" && find . -mindepth 1 | sort | tr '\n' ' ')
  [ "$listed" = "./README.md ./pakrel.com ./pakrel.exe ./sonvira.exe " ] || { echo "holds: $listed"; return 1; }
}

only_windows_dlls() {
  local program dlls bad=0
  for program in pakrel.exe pakrel.com sonvira.exe; do
    dlls=$(i686-w64-mingw32-objdump -p "$release/$program" | sed -n 's/.*DLL Name: //p')
    [ -n "$dlls" ] || { echo "$program: no imports read"; bad=1; }
    if echo "$dlls" | grep -viE '^(kernel32|user32|gdi32|advapi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|msvcrt|winmm|windowscodecs)\.dll$'; then
      echo "$program imports the DLLs above, which Windows does not have"; bad=1
    fi
  done
  return $bad
}

# The Windows pakrel writes, for each system, the bytes the Linux pakrel writes.
song=$src/examples/小星星.mp3 lyrics=$src/examples/小星星.lrc
same_albums() {
  local target
  for target in windows linux; do
    mkdir -p "$work/$target-win" "$work/$target-linux"
    LC_ALL=C.UTF-8 "$src/scripts/wine_run.sh" "$prefix" "$release/pakrel.com" --target "$target" --name "双系统" \
      --song "1=Z:$song" --lyrics "1=Z:$lyrics" --output-dir "Z:$work/$target-win" || return 1
    "$linux/bin/pakrel" --target "$target" --name "双系统" --song "1=$song" --lyrics "1=$lyrics" \
      --output-dir "$work/$target-linux" >/dev/null || return 1
    cmp "$work/$target-win/双系统.exe" "$work/$target-linux/双系统.exe" || return 1
  done
}

linux_player_reads_it() {
  local album=$work/windows-win/双系统.exe
  [ "$(head -c 2 "$album")" = "MZ" ] || { echo "the Windows album does not start as a Windows program"; return 1; }
  "$linux/bin/sonvira" --list "$album" | grep -q '小星星' || return 1
  "$linux/bin/sonvira" --extract "$album" "$work/extracted" >/dev/null || return 1
  cmp "$work/extracted/小星星.mp3" "$song" && cmp "$work/extracted/小星星.lrc" "$lyrics"
}

# The Windows player opens a Linux album (--album): it reads the album's settings and names it.
windows_player_reads_linux_album() {
  local album=$work/for-windows/双系统.exe log=$work/player.log started
  mkdir -p "$work/for-windows"
  "$linux/bin/pakrel" --name "双系统" --song "1=$song" --output-dir "$work/for-windows" >/dev/null || return 1
  (
    export WINEPREFIX=$prefix WINEDEBUG=-all QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xf7000000} LC_ALL=C.UTF-8
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe,winedbg.exe=d"
    exec /usr/lib/wine/wine "$release/sonvira.exe" --album "Z:$album" --verbose </dev/null >"$log" 2>&1
  ) &
  started=$SECONDS
  while [ $((SECONDS - started)) -lt 400 ] && ! grep -q 'step 13: label Label2 = 双系统' "$log"; do sleep 2; done
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  wait
  grep -q 'step 13: label Label2 = 双系统' "$log" && return 0
  cat "$log"
  return 1
}

check "the zip holds the programs and the README" holds_the_programs
if [ -n "$release" ]; then
  check "its programs import only Windows DLLs" only_windows_dlls
  check "pakrel.com writes the Linux pakrel's bytes for both systems" same_albums
  check "the Linux player lists and extracts the Windows album" linux_player_reads_it
  check "the Windows player opens the Linux album" windows_player_reads_linux_album
fi
exit $failed
