#!/usr/bin/env bash
# Builds the headless bench program (Release, in build-bench/) and times Duplora against rsync
# and cp on generated trees in a temporary folder, which is removed afterwards. Extra arguments
# go to run.py (--reps N, --cases system,music,large, --tools ..., --no-strace, --tmp DIR).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(dirname "$here")"
# As root on a fresh machine, install what is missing first (rsync, strace, time, python3, ...).
if [ "$(id -u)" -eq 0 ]; then "$repo/scripts/install-deps.sh" test; fi
build="$repo/build-bench"
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDUPLORA_BENCH=ON \
  -DDUPLORA_GUI=OFF -DDUPLORA_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target duplora_bench >/dev/null
exec python3 "$here/run.py" --bench "$build/bench/duplora_bench" "$@"
