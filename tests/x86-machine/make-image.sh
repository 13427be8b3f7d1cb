#!/usr/bin/env bash
# Makes the disk of the emulated x86 machine in which the 32-bit Windows tests run where this
# machine's kernel runs no 32-bit code (x86-machine.sh), or finds it made already, and prints the
# folder that holds it: disk.ext4, vmlinuz, initrd.img. Needs root and Debian's archive.
#
#   make-image.sh [CACHE]   CACHE: where images are kept, by default
#                           $DUPLORA_X86_MACHINE_CACHE or /var/tmp/duplora-x86-machine
#
# The machine is an amd64 Debian 12 whose kernel runs 32-bit programs, with the i386
# architecture and 32-bit Wine: the root is made here by debootstrap and apt in a chroot (the
# i386 maintainer scripts that cannot run on this kernel are finished in the machine), turned
# into an ext4 image, then booted once to finish the packages and make a pristine 32-bit Wine
# prefix, which the tests copy instead of making their own (a prefix takes minutes under
# emulation). An image is kept under a key made of this file and guest-init.sh, so a change of
# either makes a new one; older ones are removed. Several callers may ask at once: one makes it,
# the others wait for it. It fails saying why, with the tail of its log.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${1:-${DUPLORA_X86_MACHINE_CACHE:-/var/tmp/duplora-x86-machine}}
readonly mirror=http://deb.debian.org/debian

# What runs in the machine: 32-bit Wine and the tools to build the tests' 32-bit Winelib
# gds32.dll with the 32-bit Firebird client it calls; for Duplora.exe end to end (a Linux driver
# of this build's host tools) Xvfb, the X tools, a tray, Wine's fonts, the Firebird tools that
# make the test databases, and cmake, which unpacks the zip; socat leads the private Firebird
# server's port to the host.
readonly packages=(
    linux-image-amd64 kmod iproute2 procps socat
    wine32:i386 wine32-tools:i386 libwine-dev:i386 gcc-multilib g++-multilib libfbclient2:i386
    xvfb x11-utils xdotool trayer fonts-wine fonts-dejavu-core fonts-liberation2
    firebird3.0-utils firebird3.0-server-core libfbclient2 cmake
)
readonly size=12G  # room for the tests' 4 GiB sparse file and their copies

key=$(cat "$here/make-image.sh" "$here/guest-init.sh" | sha256sum | cut -c1-16)
image=$cache/$key
if [ -e "$image/ready" ]; then
    echo "$image"
    exit 0
fi
mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9
if [ -e "$image/ready" ]; then  # made by another caller meanwhile
    echo "$image"
    exit 0
fi
for tool in debootstrap mkfs.ext4 qemu-system-x86_64 /usr/lib/qemu/virtiofsd socat; do
    command -v "$tool" >/dev/null || {
        echo "cannot make the x86 machine: $tool is missing (scripts/install-deps.sh test)" >&2
        exit 1
    }
done

work=$cache/$key.work
root=$work/root
log=$work/make-image.log
cleanup() {
    for mount in "$root/dev/pts" "$root/dev" "$root/proc" "$root/sys"; do
        mountpoint -q "$mount" 2>/dev/null && umount -l "$mount"
    done
    return 0
}
trap cleanup EXIT
cleanup
rm -rf "$work"
mkdir -p "$work"

fail() {
    echo "cannot make the x86 machine: $* (log: $log); its end:" >&2
    tail -n 40 "$log" | sed 's/^/  /' >&2
    exit 1
}
step() { echo "$(date +%T) $*" >>"$log"; }
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 "$@"; }

step "debootstrap"
debootstrap --variant=minbase --arch=amd64 bookworm "$root" "$mirror" >>"$log" 2>&1 ||
    fail "debootstrap of Debian 12 from $mirror failed"
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cat >"$root/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb ${mirror%/debian}/debian-security bookworm-security main
SOURCES
# The initial RAM disk must mount an ext4 root on a virtio disk; nothing must start a service.
mkdir -p "$root/etc/initramfs-tools"
printf '%s\n' virtio_pci virtio_blk ext4 >"$root/etc/initramfs-tools/modules"
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"

step "apt-get install ${packages[*]}"
in_root dpkg --add-architecture i386
in_root apt-get update >>"$log" 2>&1 || fail "apt-get update in the machine's root failed"
in_root apt-get install -y --no-install-recommends "${packages[@]}" >>"$log" 2>&1 ||
    step "apt-get install ended with an error (expected: i386 maintainer scripts cannot run here)"
# Every package must be unpacked at least; what is left to configure is done in the machine.
in_root apt-get install -y --no-install-recommends "${packages[@]}" >>"$log" 2>&1 || true
for package in "${packages[@]}"; do
    status=$(in_root dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null) || status=
    case "$status" in
    i[iUFHW]*) ;;
    *) fail "the package $package did not install in the machine's root" ;;
    esac
done
in_root apt-get clean
rm -f "$root/usr/sbin/policy-rc.d"
install -m 0755 "$here/guest-init.sh" "$root/sbin/duplora-init"
echo x86-machine >"$root/etc/hostname"
cleanup

step "kernel and image"
kernel=$(ls "$root"/boot/vmlinuz-* 2>/dev/null | sort -V | tail -n 1)
initrd=$(ls "$root"/boot/initrd.img-* 2>/dev/null | sort -V | tail -n 1)
[ -n "$kernel" ] && [ -n "$initrd" ] || fail "no kernel or initial RAM disk in the root"
cp "$kernel" "$work/vmlinuz"
cp "$initrd" "$work/initrd.img"
mkfs.ext4 -q -F -L duplora -d "$root" "$work/disk.ext4" "$size" >>"$log" 2>&1 ||
    fail "mkfs.ext4 could not make the image"
rm -rf "$root"

# The first boot, on the image itself: the i386 packages configured where their programs run,
# and the pristine prefix. It proves that 32-bit Wine runs in the machine.
step "first boot"
first=$work/first-boot
mkdir -p "$first"
x86=$here/x86-machine.sh
"$x86" start "$first" --image "$work" --writable >>"$log" 2>&1 || fail "the machine did not start"
prepare() {
    (cd / && "$x86" run "$first" -- bash -c '
        set -e
        dpkg --configure -a
        dpkg --audit | (! grep .)
        for multiarch in x86_64-linux-gnu i386-linux-gnu; do
            if [ -x /usr/lib/$multiarch/glib-2.0/gio-querymodules ]; then
                /usr/lib/$multiarch/glib-2.0/gio-querymodules /usr/lib/$multiarch/gio/modules
            fi
        done
        export WINEARCH=win32 WINEPREFIX=/opt/duplora/wineprefix-win32 WINEDEBUG=-all \
            WINEDLLOVERRIDES=mscoree,mshtml=
        mkdir -p "$WINEPREFIX"
        /usr/lib/wine/wine wineboot -i
        /usr/lib/wine/wineserver32 -w
        # A program that crashes ends at once with its exception: Wine would start its debugger,
        # which takes many minutes under emulation.
        /usr/lib/wine/wine reg delete "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug" \
            /v Debugger /f
        /usr/lib/wine/wineserver32 -w
        /usr/lib/wine/wine cmd /c echo 32-bit Wine runs here | grep -q "32-bit Wine runs here"
        /usr/lib/wine/wineserver32 -w
        rm -rf /etc/resolv.conf /tmp/* /tmp/.[!.]*
        ')
}
prepare >>"$log" 2>&1 || {
    "$x86" stop "$first" >>"$log" 2>&1
    fail "the first boot could not finish the packages or make a 32-bit Wine prefix"
}
"$x86" stop "$first" >>"$log" 2>&1 || fail "the machine did not power off after its first boot"
rm -rf "$first"
step "ready"
touch "$work/ready"
mv "$work" "$image"
for old in "$cache"/*/; do
    [ "${old%/}" = "$image" ] || rm -rf "${old%/}"
done
echo "$image"
