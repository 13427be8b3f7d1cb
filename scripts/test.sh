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

cmake --preset linux-debug
cmake --build --preset linux-debug
ctest --preset linux-debug

# The Windows programs. First the release packages (the zips and the Windows Installer packages,
# made by the default build that "package" runs first), which an operator installs and the
# Windows tests check; then each word size's build with its tests: the 64-bit program end to end
# under 64-bit Wine, every test run; the 32-bit program, which users run, checked without running
# it, and run under 32-bit Wine too where the kernel runs 32-bit programs.
for words in 64 32; do
    cmake --preset "win$words-release"
    cmake --build --preset "win$words-release" --target package
done
for words in 64 32; do
    cmake --preset "win$words"
    cmake --build --preset "win$words"
    ctest --preset "win$words"
done

echo
echo "Windows programs: build-win64-release/Duplora-*-win64.{msi,zip}, build-win32-release/Duplora-*-win32.{msi,zip}"
echo "  64-bit: every Windows test ran under 64-bit Wine (unit tests, the database bridge, Duplora.exe end to end, its .msi installed, upgraded and removed)."
if [ -e build-win32/wine-tests-not-run.txt ]; then
    echo "  32-bit: built and checked without running it (a PE32 GUI program importing only Windows"
    echo "          system DLLs; every client entry point exported by the Windows client, stdcall;"
    echo "          the client structures' 32-bit layout; the zip and the .msi). Its Wine tests did not run:"
    sed 's/^/          /' build-win32/wine-tests-not-run.txt
else
    echo "  32-bit: every Windows test ran under 32-bit Wine, and the program was checked as well."
fi
