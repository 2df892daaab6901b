#!/usr/bin/env bash
# Runs a Windows program of the build under wine: scripts/wine_run.sh PREFIX [PROGRAM ARGS...]
# ctest calls it for every test of build-win (CMAKE_CROSSCOMPILING_EMULATOR). PREFIX is a wine
# prefix of the build's own, made quietly on first use (without a program, only that is done);
# wine's own messages are off unless WINEDEBUG says otherwise, so the output is the program's.
# The program's exit code is the script's. WINE_GRAPHICS=x11 makes a new prefix show its windows
# on the X display (the desktop tests); by default a prefix has no display.
set -euo pipefail

main() {
  local prefix
  prefix=$(realpath -m "$1")
  shift
  export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
  # No dialogs for a missing Mono or Gecko, no menu entries, and no debugger: a crash is an
  # exit code. A test may add overrides of its own (WINEDLLOVERRIDES in its environment).
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe,winedbg.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
  # A kernel without 32-bit support reaches wine's 32-bit side through qemu (scripts/setup.sh),
  # which must set aside the whole 32-bit address space for wine to lay itself out.
  export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xf7000000}

  # The 64-bit side sets up the prefix (natively, where the 32-bit side may be emulated); the
  # programs are 32-bit.
  local boot=/usr/lib/wine/wine64 run=/usr/lib/wine/wine
  [ -x "$boot" ] || boot=wine
  [ -x "$run" ] || run=wine

  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
      echo "wine_run.sh: making the wine prefix $prefix" >&2
      "$boot" wineboot --init >/dev/null 2>&1
      # Windows without a display: the tests need none, and run alike with or without one.
      "$boot" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "${WINE_GRAPHICS:-null}" /f >/dev/null 2>&1
      # Message boxes, menus and tooltips draw in Tahoma / MS Shell Dlg, which have no Chinese
      # here: linked to a Chinese face, the programs' Chinese shows as it does on Chinese Windows.
      local face key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
      for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2"; do
        "$boot" reg add "$key" /v "$face" /t REG_MULTI_SZ /d "uming.ttc,AR PL UMing CN" /f >/dev/null 2>&1
      done
      wineserver -w
      touch "$prefix/.ready"
    fi
  ) 9>"$prefix.lock"
  [ $# -gt 0 ] || return 0

  # One server for a whole test run rather than one per program.
  wineserver -p 30 </dev/null >/dev/null 2>&1 || true
  # The program's output goes through a file: wine's own background processes, started with
  # the program, keep its output open after it ends, and a caller reading a pipe (ctest) would
  # wait for them.
  local out status=0
  out=$(mktemp)
  "$run" "$@" </dev/null >"$out" 2>&1 || status=$?
  cat "$out"
  rm -f "$out"
  return $status
}

# All of it is read before it runs, so a change to this file cannot upset a run in progress.
main "$@"
exit
