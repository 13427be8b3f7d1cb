#!/usr/bin/env bash
# Installs the Debian 12 packages that one purpose needs; packages already present are left
# alone. Needs root.
#
#   install-deps.sh demo  building the Qt program and running the demo headless
#                         (scripts/run-demo.sh)
#   install-deps.sh test  all of that, and what the tests and the benchmarks need besides
#                         (scripts/test.sh, bench/run.sh); where the kernel runs 32-bit
#                         programs, also 32-bit Wine and its i386 packages (it then adds the
#                         i386 architecture to dpkg), and nowhere else; elsewhere what makes
#                         and runs the emulated x86 machine of the 32-bit tests
set -euo pipefail
cd "$(dirname "$0")/.."

# The Qt program, its embedded database (the Firebird client and engine, isql-fb to make the demo
# database), libcurl for its HTTP(S) requests with the system's trusted roots, and a headless
# desktop to run it on.
demo=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  libcurl4-openssl-dev ca-certificates
  xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core fonts-liberation2
)

# The tests: GoogleTest, the format check, the Firebird server they run privately, the HTTP(S)
# server they run privately (python3) with its certificates (openssl), the cross
# builds for Windows and 64-bit Wine to run the 64-bit one (with the Winelib tools and headers of
# the Windows tests' database bridge), the Windows Installer packages' tools (wixl makes them,
# msitools' msibuild mends their tables, msiinfo and msiextract read them), a tray host and a
# window manager; the benchmarks' tools.
test=(
  "${demo[@]}"
  libgtest-dev libgmock-dev googletest libbenchmark-dev clang-format
  firebird3.0-server
  mingw-w64 wine64 wine64-tools libwine-dev wixl msitools
  trayer openbox wmctrl fonts-wine locales
  rsync hyperfine strace time python3 openssl bindfs
)

# 32-bit Wine, its Winelib libraries for the bridge, and the 32-bit client library: only where
# the kernel runs 32-bit programs (scripts/kernel-runs-i386.sh), for the 32-bit Windows tests.
wine32=(wine wine32:i386 libwine-dev:i386 gcc-multilib libfbclient2:i386)

# Elsewhere the 32-bit Windows tests run in an emulated x86 machine (tests/x86-machine/): qemu
# (with virtiofsd), debootstrap and mkfs.ext4 to make its disk, socat to lead it to the tests'
# Firebird server. The 32-bit packages are inside its image, never on this machine.
machine=(qemu-system-x86 debootstrap e2fsprogs socat)

install() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  # --no-remove: a package that would have to make way for these stays, and this script fails.
  apt-get install -y --no-install-recommends --no-remove "${missing[@]}"
}

case "${1:-}" in
demo) install "${demo[@]}" ;;
test)
  install "${test[@]}"
  # Asked only now: the question needs binutils, which the list above brings.
  if sh scripts/kernel-runs-i386.sh >/dev/null; then
    install "${wine32[@]}"
  else
    install "${machine[@]}"
  fi
  ;;
*)
  echo "usage: $0 demo|test" >&2
  exit 2
  ;;
esac
