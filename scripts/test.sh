#!/usr/bin/env bash
# Installs what the tests need on a Debian 12 machine (as root), checks the C++ files' format,
# builds, and runs every test: the Linux build, then the 32-bit Windows build under Wine. Fails
# loudly: any failing step or test ends it with a non-zero status.
#
# The tests that need a Firebird server start a private one of their own (CTest fixture
# FirebirdServer, on 127.0.0.1, port chosen per build folder) and stop it at the end: a server
# already running on the machine is never touched.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh test
./scripts/check-format.sh

cmake --preset linux-debug
cmake --build --preset linux-debug
ctest --preset linux-debug

# The Windows build: the toolkit-free libraries and their tests as 32-bit Windows programs run
# under Wine (in a Wine prefix inside build-win32), and Duplora.exe end to end under Wine on an
# X server of its own (wine-e2e).
cmake --preset win32
cmake --build --preset win32
ctest --preset win32

# Where this machine cannot run 32-bit Wine, the Windows tests were built and reported as
# skipped: say so once more at the end, so nobody takes the run for a proof of the Windows build.
if [ -e build-win32/wineprefix.unavailable ]; then
    echo
    echo "NOTE: the 32-bit Windows tests were built but not run on this machine:"
    cat build-win32/wineprefix.unavailable
fi
