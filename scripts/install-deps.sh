#!/usr/bin/env bash
# Installs the Debian 12 packages that one purpose needs; packages already present are left
# alone. Needs root.
#
#   install-deps.sh demo  building the Qt program and running the demo headless
#                         (scripts/run-demo.sh)
#   install-deps.sh test  all of that, and what the tests and the benchmarks need besides
#                         (scripts/test.sh, bench/run.sh); adds the i386 architecture for
#                         32-bit Wine
set -euo pipefail

# The Qt program, its embedded database (the Firebird client and engine, isql-fb to make the demo
# database) and a headless desktop to run it on.
demo=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core fonts-liberation2
)

# The tests: GoogleTest, the format check, the Firebird server they run privately, the
# cross build for 32-bit Windows and Wine to run it (with the 32-bit tools and client library of
# the Windows tests' database bridge), a tray host; the benchmarks' tools.
test=(
  "${demo[@]}"
  libgtest-dev libgmock-dev googletest libbenchmark-dev clang-format
  firebird3.0-server
  mingw-w64 wine wine32:i386 wine64-tools libwine-dev:i386 gcc-multilib libfbclient2:i386
  trayer openbox wmctrl fonts-wine locales
  rsync hyperfine strace time python3 bindfs
)

case "${1:-}" in
demo) packages=("${demo[@]}") ;;
test) packages=("${test[@]}") ;;
*)
  echo "usage: $0 demo|test" >&2
  exit 2
  ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
  ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
# --no-remove: a package that would have to make way for these stays, and this script fails.
apt-get install -y --no-install-recommends --no-remove "${missing[@]}"
