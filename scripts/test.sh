#!/usr/bin/env bash
# Installs what the tests need on a Debian 12 machine (as root), checks the C++ files' format,
# builds, and runs every test: the Linux build, then the Windows programs. Fails loudly: any
# failing step or test ends it with a non-zero status.
#
# The tests that need a Firebird server start a private one of their own (CTest fixture
# FirebirdServer, on 127.0.0.1, port chosen per build folder) and stop it at the end: a server
# already running on the machine is never touched.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh test
./scripts/check-format.sh

# Where this kernel runs no 32-bit code, the 32-bit Windows tests run in an emulated x86 machine
# (tests/x86-machine/). Its image is made from Debian's packages in the background while the
# Linux program and the 64-bit one build and test (several minutes the first time; kept under
# /var/tmp, and made again only when its recipe changes).
imageJob=
imageLog=$PWD/build-x86-machine-image.log
if ! sh scripts/kernel-runs-i386.sh >/dev/null; then
    tests/x86-machine/make-image.sh >"$imageLog" 2>&1 &
    imageJob=$!
fi

cmake --preset linux-debug
cmake --build --preset linux-debug
ctest --preset linux-debug

# The Windows programs, each word size's release build: the shipped Duplora.exe, its zip and its
# Windows Installer package, and every Windows test of the very objects the program is made of
# (-O3: x87 arithmetic changes with optimisation). The 64-bit program's tests run under this
# machine's 64-bit Wine; the 32-bit program's, which users run, under 32-bit Wine, in the emulated
# x86 machine where this kernel runs no 32-bit code. Those run beside the 64-bit ones: much of a
# case under emulation, and of an end-to-end case, is waiting, which the other's tests fill.
for words in 64 32; do
    cmake --preset "win$words-release"
    cmake --build --preset "win$words-release" --target all package
done
if [ -n "$imageJob" ] && ! wait "$imageJob"; then
    echo "The emulated x86 machine that runs the 32-bit Windows tests could not be made:" >&2
    sed 's/^/  /' "$imageLog" >&2
    exit 1
fi
log32=$PWD/build-win32-release/ctest.log
ctest --preset win32-release >"$log32" 2>&1 &
tests32=$!
status64=0
ctest --preset win64-release || status64=$?
status32=0
wait "$tests32" || status32=$?
echo
echo "The 32-bit Windows tests (ctest --preset win32-release):"
cat "$log32"
if [ "$status64" -ne 0 ] || [ "$status32" -ne 0 ]; then
    echo "The Windows tests failed (see above)." >&2
    exit 1
fi

echo
echo "Windows programs: build-win64-release/Duplora-*-win64.{msi,zip}, build-win32-release/Duplora-*-win32.{msi,zip}"
echo "  64-bit: every Windows test of the release build ran under this machine's 64-bit Wine: the unit tests, the database"
echo "          bridge against the private Firebird server, Duplora.exe end to end (the release zip too, the .msi installed, upgraded and removed)."
echo "  32-bit: every Windows test ran $(cat build-win32-release/wine-tests-where.txt)"
echo "          the unit tests, the database bridge against the private Firebird server, Duplora.exe end"
echo "          to end (the release zip too, whose second run copies nothing, and the .msi), all of the"
echo "          release build's -O3 objects; and the program checked on this machine without running it"
echo "          (PE32 GUI imports, the client's entry points and structures, the zip and the .msi)."
