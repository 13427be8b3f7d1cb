#!/usr/bin/env bash
# Builds the bench programs (Release presets: build-bench/ with the Qt window; build-bench-win32/
# with the Windows window, where Wine runs) and times Duplora against rsync and cp on generated
# trees in temporary folders, in memory and on disk, which are removed afterwards. The report
# goes to stdout and to build-bench/bench-results.md; --update-readme also puts it into the
# README's Performance section. Other arguments go to run.py (--reps N, --cases
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
# The Windows window is measured under Wine where Wine runs; run.py says why when it does not.
if [[ " $* " != *" --no-wine "* ]]; then
  if wine --version >/dev/null 2>&1; then
    cmake --preset bench-win32 >/dev/null
    cmake --build --preset bench-win32 >/dev/null
  fi
  arguments+=(--wine-build "$repo/build-bench-win32")
fi
exec python3 "$here/run.py" "${arguments[@]}" "$@"
