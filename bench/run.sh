#!/usr/bin/env bash
# Builds the bench programs (Release presets: build-bench/ with the Qt window; build-bench-win64/
# with the Windows window, run under 64-bit Wine) and times Duplora against rsync and cp on generated
# trees in temporary folders, in memory and on disk, which are removed afterwards. The report
# goes to stdout and to build-bench/bench-results.md; --update-report also puts it into
# docs/performance.md. Other arguments go to run.py (--reps N, --cases
# system,music,large,share, --where memory,disk, --disk DIR, --tools ..., --no-strace, --no-wine).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(dirname "$here")"
# As root on a fresh machine, install what is missing first (rsync, strace, bindfs, Qt, ...).
if [ "$(id -u)" -eq 0 ]; then "$repo/scripts/install-deps.sh" test; fi
cd "$repo"
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
arguments=(--bench "$repo/build-bench/bench" --markdown "$repo/build-bench/bench-results.md")
# The 64-bit Windows window under 64-bit Wine, which runs on every x86-64 Linux.
if [[ " $* " != *" --no-wine "* ]]; then
  cmake --preset bench-win64 >/dev/null
  cmake --build --preset bench-win64 >/dev/null
  arguments+=(--wine-build "$repo/build-bench-win64")
fi
exec python3 "$here/run.py" "${arguments[@]}" "$@"
