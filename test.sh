#!/usr/bin/env bash
# Installs what is missing, builds, runs every test (unit, widget, end-to-end) under a headless
# display and sound server, then those of the Windows build under wine, then runs each fuzz
# target briefly under ASan and UBSan.
set -euo pipefail
cd "$(dirname "$0")"

FUZZ_SECONDS=${FUZZ_SECONDS:-20}
jobs=$(nproc)

scripts/setup.sh
# The 32-bit Windows build first (build-win/): the Linux packager carries its player, so that
# it can make albums for Windows too.
win_built=0
if scripts/build_windows.sh; then win_built=1; else echo "FAILED: the Windows build"; fi
windows_player=()
[ -f build-win/res/sonvira.res ] && windows_player=(-DSONVIRA_WINDOWS_PLAYER="$PWD/build-win/res/sonvira.res")
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONVIRA_WERROR=ON "${windows_player[@]}" >/dev/null
cmake --build build -j "$jobs"
# The Windows packager carries the Linux player in turn, and the release zip holds it.
if [ "$win_built" -eq 1 ] && [ -f build/res/sonvira.res ]; then
  cmake -S . -B build-win -DSONVIRA_LINUX_PLAYER="$PWD/build/res/sonvira.res" >/dev/null
  cmake --build build-win -j "$jobs" || { win_built=0; echo "FAILED: the Windows build with the Linux player"; }
fi

source scripts/headless.sh
headless_start

passed=0 failed=0
ctest_log=$(mktemp)
if ctest --test-dir build --output-on-failure -j "$jobs" 2>&1 | tee "$ctest_log"; then :; fi
read -r ctest_pass ctest_total < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$ctest_log" | tail -n1 | awk '{print $2-$1, $2}')
ctest_pass=${ctest_pass:-0}; ctest_total=${ctest_total:-0}
passed=$((passed + ctest_pass)); failed=$((failed + ctest_total - ctest_pass))
[ "$ctest_total" -gt 0 ] || failed=$((failed + 1))
rm -f "$ctest_log"

# The Windows build's tests under wine (in a prefix of its own, build-win/wine).
win_log=$(mktemp)
if [ "$win_built" -eq 1 ]; then
  if ctest --test-dir build-win --output-on-failure -j "$jobs" 2>&1 | tee "$win_log"; then :; fi
fi
read -r win_pass win_total < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$win_log" | tail -n1 | awk '{print $2-$1, $2}')
win_pass=${win_pass:-0}; win_total=${win_total:-0}
passed=$((passed + win_pass)); failed=$((failed + win_total - win_pass))
[ "$win_total" -gt 0 ] || failed=$((failed + 1))
rm -f "$win_log"

# The Debian package, made from the build above, and what it holds.
rm -f build/sonvira_*.deb
if (cd build && cpack -G DEB >/dev/null) && scripts/check_package.sh build/sonvira_*.deb; then
  passed=$((passed + 1))
else
  failed=$((failed + 1)); echo "FAILED: the Debian package"
fi

# The release for Windows, beside the Debian package, and what its packager writes.
rm -f build/sonvira-*-win32.zip
if [ "$win_built" -eq 1 ] && cp build-win/sonvira-*-win32.zip build/ &&
   scripts/check_windows_release.sh build/sonvira-*-win32.zip build build-win/wine; then
  passed=$((passed + 1))
else
  failed=$((failed + 1)); echo "FAILED: the release for Windows"
fi

# The unit and widget suites once more, built with AddressSanitizer and UndefinedBehaviorSanitizer:
# any finding fails its test, a leak too (fuzz/lsan.supp names the system libraries' own).
sanitize="-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer"
# The standard library's own bounds checks (operator[], front(), back()) as well.
sanitize="$sanitize -D_GLIBCXX_ASSERTIONS"
# GCC's maybe-uninitialized analysis misreads instrumented code (the standard library's <regex>):
# there it stays a warning.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSONVIRA_BENCH=OFF -DSONVIRA_WERROR=ON \
  -DCMAKE_C_FLAGS="-O1 $sanitize -Wno-error=maybe-uninitialized" \
  -DCMAKE_CXX_FLAGS="-O1 $sanitize -Wno-error=maybe-uninitialized" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined,float-cast-overflow" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined,float-cast-overflow" >/dev/null
cmake --build build-asan -j "$jobs"
asan_log=$(mktemp)
if ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1" \
   LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0" \
   UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
   ctest --test-dir build-asan --output-on-failure -j "$jobs" 2>&1 | tee "$asan_log"; then :; fi
read -r asan_pass asan_total < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$asan_log" | tail -n1 | awk '{print $2-$1, $2}')
asan_pass=${asan_pass:-0}; asan_total=${asan_total:-0}
passed=$((passed + asan_pass)); failed=$((failed + asan_total - asan_pass))
[ "$asan_total" -gt 0 ] || failed=$((failed + 1))
rm -f "$asan_log"

# Fuzz targets: a separate clang build; each target runs for a short while on a copy of its
# committed seed corpus, so new inputs never land in the source tree.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DSONVIRA_FUZZ=ON -DSONVIRA_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$jobs"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
for fuzzer in build-fuzz/bin/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  work=$(mktemp -d)
  dirs=("$work")
  [ -d "fuzz/corpus/${name#fuzz_}" ] && dirs+=("fuzz/corpus/${name#fuzz_}")
  echo "== $name for ${FUZZ_SECONDS}s"
  mkdir -p build-fuzz/artifacts
  if "$fuzzer" -max_total_time="$FUZZ_SECONDS" -artifact_prefix=build-fuzz/artifacts/ "${dirs[@]}" >"$work.log" 2>&1; then
    passed=$((passed + 1)); tail -n 2 "$work.log"
  else
    failed=$((failed + 1)); echo "FAILED: $name"; tail -n 60 "$work.log"
  fi
  rm -rf "$work" "$work.log"
done

echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
