#!/usr/bin/env bash
# Makes the program icon MAINICON from the idle icon's SVG sources: renders its 48, 32, 24 and
# 16 pixel images (32-bit with alpha) and packs them into src/resources/duplora.ico. The PNGs
# and the .ico are committed, so the Windows build needs neither Qt's renderer nor ImageMagick.
# Run it after editing icon-idle.svg or icon-idle-16.svg. Needs a Qt build (DUPLORA_GUI=ON).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDUPLORA_GUI=ON
fi
cmake --build "$build" --target duplora_render_pictures

out=src/resources/icons
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/src/resources/duplora_render_pictures" \
  --icon :/pictures/icon-idle.svg "$out/duplora"

# Largest first, as Windows expects; each image keeps its alpha channel.
convert "$out/duplora-48.png" "$out/duplora-32.png" "$out/duplora-24.png" "$out/duplora-16.png" \
  src/resources/duplora.ico
echo "wrote src/resources/duplora.ico"
