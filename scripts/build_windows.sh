#!/usr/bin/env bash
# Configures and builds the 32-bit Windows build in build-win/ (MinGW-w64 cross compiler,
# Ninja, ccache when present), with libmpg123 cross-built from Debian's source first; the
# audio library, libmpg123 inside, is build-win/bin/bass.dll.
# Its tests run under wine: ctest --test-dir build-win (those labelled desktop need the sound
# server of scripts/headless.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build_mpg123_windows.sh build-win

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-i686-w64-mingw32.cmake" "${launcher[@]}" >/dev/null
cmake --build build-win -j "${JOBS:-$(nproc)}"
# The wine prefix of its tests, made once, outside the time of any test.
scripts/wine_run.sh build-win/wine
