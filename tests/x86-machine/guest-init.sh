#!/bin/sh
# The first process of the emulated x86 machine (make-image.sh installs it as /sbin/duplora-init;
# the kernel starts it with init=). No init system: it mounts what the programs need, the host's
# folders shared by virtiofs at their host paths, brings up the network to the host, and hands over
# to the job loop that the host put into the machine's folder (guest-jobs.sh). Whatever goes
# wrong, it says so on the console and powers the machine off, so that the host never waits for
# a machine that cannot serve.
#
# The kernel command line names the rest:
#   duplora.share=TAG:PATH  a folder of the host (virtiofs), mounted at PATH (in the order given)
#   duplora.machine=PATH    the machine's folder on the host (among the shares), holding the job
#                           loop, its jobs and the ports to forward
PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH

halt() {
    echo "duplora-init: $*" >&2
    sync
    mount -o remount,ro / 2>/dev/null
    echo o >/proc/sysrq-trigger
    sleep 60
}

# The initial RAM disk hands over /proc, /sys, /dev and /run mounted already.
mounted() { mountpoint -q "$1"; }
mounted /proc || mount -t proc proc /proc
mounted /sys || mount -t sysfs sysfs /sys
mounted /dev || mount -t devtmpfs devtmpfs /dev
mkdir -p /dev/pts /dev/shm
mounted /dev/pts || mount -t devpts devpts /dev/pts
mounted /dev/shm || mount -t tmpfs tmpfs /dev/shm
mounted /run || mount -t tmpfs tmpfs /run
# /tmp stays on the disk: Wine keeps its server's socket in TMPDIR, and the tests' Wine prefixes
# (hundreds of MB each) are made there.
mount -o remount,rw / || halt "cannot write to the root file system"
echo 1 >/proc/sys/kernel/sysrq
hostname x86-machine

for module in virtio_net virtiofs; do
    modprobe "$module" || halt "cannot load the kernel module $module"
done
machine=
for word in $(cat /proc/cmdline); do
    case "$word" in
    duplora.share=*)
        share=${word#duplora.share=}
        mkdir -p "${share#*:}"
        mount -t virtiofs "${share%%:*}" "${share#*:}" ||
            halt "cannot mount the host's folder ${share#*:}"
        ;;
    duplora.machine=*) machine=${word#duplora.machine=} ;;
    esac
done
[ -n "$machine" ] || halt "no duplora.machine= on the kernel command line"

# qemu's user network: this machine is 10.0.2.15, and 10.0.2.100 leads to the host's loopback
# ports that the host forwards, and nowhere else.
# The network card appears a moment after its driver is loaded.
card=
for _ in $(seq 1 100); do
    card=$(ls /sys/class/net | grep -vx lo | head -n 1)
    [ -n "$card" ] && break
    sleep 0.1
done
[ -n "$card" ] || halt "no network card"
ip link set lo up && ip link set "$card" up && ip address add 10.0.2.15/24 dev "$card" ||
    halt "cannot bring up the network"

[ -r "$machine/guest-jobs.sh" ] || halt "no job loop in $machine"
/bin/bash "$machine/guest-jobs.sh" "$machine"
status=$?
halt "the job loop ended (status $status)"
