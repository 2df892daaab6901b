#!/usr/bin/env bash
# Checks a Windows DLL as the player carries it: it imports no DLL but Windows' own (so nothing
# of MinGW's runtime is left to ship beside it), and it exports exactly the operations its
# header declares, under their plain names: no stdcall decoration (name@bytes), none missing.
#   tests/check_windows_dll.sh OBJDUMP DLL HEADER
# Prints what it finds; the exit code is 1 when anything is wrong.
set -euo pipefail
objdump=$1 dll=$2 header=$3

dump=$("$objdump" -p "$dll")
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/ s/^[[:space:]]*\[ *[0-9]*\] //p' <<<"$dump" | sort)
declared=$(grep -o 'BASS_CALL [A-Za-z0-9_]*(' "$header" | sed 's/BASS_CALL //; s/($//' | sort)
echo "$(basename "$dll"): $(stat -c %s "$dll") bytes; imports:" $imports

# The DLLs of Windows itself that a program of ours may need.
system='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comdlg32|comctl32|winmm|msvcrt|ws2_32|version)\.dll$'
status=0
for name in $imports; do
  if [[ ! ${name,,} =~ $system ]]; then
    echo "imports $name, which is not a DLL of Windows"
    status=1
  fi
done
if [ -z "$declared" ]; then
  echo "no operations found in $header"
  status=1
fi
if [ "$exports" != "$declared" ]; then
  echo "exports differ from the declared operations (< exported, > declared):"
  diff <(echo "$exports") <(echo "$declared") | grep '^[<>]' || true
  status=1
fi
exit $status
