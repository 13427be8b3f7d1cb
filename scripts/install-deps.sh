#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing and running Duplora needs.
# Idempotent: packages already present are left alone. Needs root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins
  firebird3.0-server firebird3.0-utils firebird-dev libfbclient2
  mingw-w64 wine wine32:i386
  xvfb xauth x11-utils xdotool trayer imagemagick fonts-dejavu-core fonts-liberation2
  fonts-wine locales
  rsync hyperfine strace time python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
