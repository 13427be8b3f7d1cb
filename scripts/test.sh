#!/usr/bin/env bash
# Sets up everything the tests need on a Debian 12 machine (as root), builds, and runs every
# test. Fails loudly: any failing step or test ends it with a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build build
ctest --test-dir build --output-on-failure

# The toolkit-free libraries and their tests again, as 32-bit Windows programs run under Wine
# (in a Wine prefix inside build-win32; no display needed).
cmake -S . -B build-win32 -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDUPLORA_GUI=OFF \
  --toolchain cmake/mingw-i686.cmake
cmake --build build-win32
ctest --test-dir build-win32 --output-on-failure
