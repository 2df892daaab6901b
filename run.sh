#!/usr/bin/env bash
# Builds both programs, packs the bundled demo album with pakrel and starts it.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

out=build/demo
mkdir -p "$out"
album=$(build/bin/pakrel --name "Sonvira 示范专辑" --description-file examples/description.txt \
  --song 1="examples/小星星.mp3" --lyrics 1="examples/小星星.lrc" \
  --song 2="examples/两只老虎.mp3" --lyrics 2="examples/两只老虎.lrc" \
  --song 3="examples/Ode to Joy 欢乐颂.mp3" --lyrics 3="examples/Ode to Joy 欢乐颂.lrc" \
  --output-dir "$out")
echo "Packed $album"

# The album image is the player: started on its own, it plays itself in its window.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  source scripts/headless.sh
  headless_start
fi
"$album"
