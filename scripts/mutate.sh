#!/usr/bin/env bash
# Do the tests notice a fault? Applies each listed change to the code, one at a time, in a
# scratch copy of the working tree, builds only the tests named for it, runs them, and says
# whether they caught it. A change they miss is a hole in the tests.
#
#   scripts/mutate.sh [LIST] [LINE...]
#
# LIST (scripts/mutations.txt unless given) holds one change a line, four fields separated by
# tabs: a file, a text that occurs exactly once in it, the text that replaces it, and the ctest
# names of the tests that must catch it (separated by spaces). Empty lines and lines starting
# with "#" are skipped; LINE numbers pick some changes alone.
#
# The scratch tree and its build (MUTATE_DIR, /tmp/sonvira-mutate unless set) are kept between
# runs and compile through ccache, so a run builds again only what a change touches. Exits 0
# when every change was caught.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
list=${1:-$root/scripts/mutations.txt}
[ $# -gt 0 ] && shift
scratch=${MUTATE_DIR:-${TMPDIR:-/tmp}/sonvira-mutate}
src=$scratch/src build=$scratch/build
jobs=$(nproc)
export CCACHE_BASEDIR=$scratch CCACHE_NOHASHDIR=1

# The changes: parallel arrays, one element per chosen line of the list.
files=() texts=() replacements=() tests=() lines=()
n=0
while IFS= read -r line || [ -n "$line" ]; do
  n=$((n + 1))
  [[ -z $line || $line == \#* ]] && continue
  if [ $# -gt 0 ] && [[ " $* " != *" $n "* ]]; then continue; fi
  IFS=$'\t' read -r file text replacement names <<<"$line"
  if [ -z "${names:-}" ]; then echo "$list:$n: needs four fields separated by tabs" >&2; exit 2; fi
  files+=("$file") texts+=("$text") replacements+=("$replacement") tests+=("$names") lines+=("$n")
done <"$list"
[ ${#files[@]} -gt 0 ] || { echo "no changes chosen from $list" >&2; exit 2; }

# The working tree as it is now, committed or not (the fuzz corpora are not built here). Only
# files whose content differs are copied, so the build sees only them as changed.
mkdir -p "$src"
while IFS= read -r -d '' f; do
  if ! cmp -s "$root/$f" "$src/$f"; then
    mkdir -p "$(dirname "$src/$f")"
    cp "$root/$f" "$src/$f"
  fi
done < <(cd "$root" && git ls-files -z --cached --others --exclude-standard | grep -zv '^fuzz/corpus/')

if [ ! -f "$build/build.ninja" ]; then
  # Optimised a little and without debug information: quick to build, quick enough to run.
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_C_FLAGS=-O1 -DCMAKE_CXX_FLAGS=-O1 -DSONVIRA_BENCH=OFF \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >"$scratch/configure.log"
fi

# Builds and runs the named tests; their output goes to $scratch/last.log.
run() {
  local names=$1
  cmake --build "$build" -j "$jobs" --target $names >"$scratch/last.log" 2>&1 || return 2
  ctest --test-dir "$build" -R "^(${names// /|})\$" --output-on-failure >>"$scratch/last.log" 2>&1 || return 1
}

# Without any change every named test must pass, or a failure would prove nothing.
all=$(printf '%s\n' "${tests[@]}" | tr ' ' '\n' | sort -u | tr '\n' ' ')
if ! run "${all% }"; then
  echo "The tests fail without any change (see $scratch/last.log):" >&2
  grep -E "\*\*\*Failed|error:" "$scratch/last.log" | head -n 20 >&2
  exit 2
fi

restore() { [ -n "${changed:-}" ] && cp "$scratch/original" "$src/$changed"; changed=; }
trap restore EXIT

caught=0 missed=0 broken=0
for i in "${!files[@]}"; do
  file=${files[$i]} text=${texts[$i]} replacement=${replacements[$i]}
  where="line ${lines[$i]}: $file: '$text' -> '$replacement'"
  count=$(perl -0777 -ne 'BEGIN { $t = shift } $n = () = /\Q$t\E/g; print $n + 0' "$text" "$src/$file" 2>/dev/null || echo 0)
  if [ "$count" != 1 ]; then
    echo "STALE   $where (the text occurs $count times)"
    broken=$((broken + 1))
    continue
  fi
  cp "$src/$file" "$scratch/original"
  changed=$file
  perl -0777 -pi -e 'BEGIN { ($t, $r) = splice @ARGV, 0, 2 } s/\Q$t\E/$r/' "$text" "$replacement" "$src/$file"
  status=0
  run "${tests[$i]}" || status=$?
  case $status in
    1)
      failed=$(sed -nE 's/^[[:space:]]*[0-9]+ - ([A-Za-z0-9_]+) \(.*\)$/\1/p' "$scratch/last.log" | tr '\n' ' ')
      echo "CAUGHT  $where by ${failed% }"
      caught=$((caught + 1)) ;;
    0) echo "MISSED  $where (${tests[$i]} pass)"; missed=$((missed + 1)) ;;
    *) echo "BROKEN  $where (does not build, see below)"; grep -m 5 "error:" "$scratch/last.log" || true
       broken=$((broken + 1)) ;;
  esac
  restore
done

echo "summary: $caught of ${#files[@]} changes caught, $missed missed, $broken not applicable"
[ "$caught" -eq "${#files[@]}" ]
