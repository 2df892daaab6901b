# Sourced by the desktop tests of the Windows programs, after `set -euo pipefail`, with the
# wine prefix in $prefix and the repository in $root:
#   wine_desktop NAME
# makes $work (removed at the end, when the program whose pid is in $pid is ended too),
# fail MESSAGE (which shows the program's log, $log, with NAME before each line), and the prefix
# (made once and quietly, with wine's X11 driver), with "$wine" to start a program in it
# directly, so that its output can go straight to a file and be read while it runs.
wine_desktop() {
  [ -n "${DISPLAY:-}" ] || { echo "FAIL: no display: run under scripts/headless.sh"; exit 1; }
  work=$(mktemp -d) log=$work/$1.log pid="" wine_desktop_name=$1
  trap 'wine_desktop_cleanup' EXIT
  WINE_GRAPHICS=x11 "$root/scripts/wine_run.sh" "$prefix"
  export WINEPREFIX=$prefix WINEDEBUG=-all QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xf7000000}
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe,winedbg.exe=d"
  wine=/usr/lib/wine/wine
  [ -x "$wine" ] || wine=wine
  wineserver -p 60 </dev/null >/dev/null 2>&1 || true
}

wine_desktop_cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}

fail() {
  echo "FAIL: $*"
  [ ! -f "$log" ] || sed "s/^/  $wine_desktop_name: /" "$log"
  exit 1
}
