#!/usr/bin/env bash
# The emulated x86 machine that runs the 32-bit Windows tests where this machine's kernel runs no
# 32-bit code: qemu-system-x86_64 under software emulation (TCG) booting the amd64 Debian 12 of
# make-image.sh, whose kernel runs 32-bit programs, with 32-bit Wine. The host's folders are
# shared at their own paths, so a test's command, folders and environment mean the same inside;
# the machine reaches the host's loopback only on the ports forwarded (the tests' private Firebird
# server), and nothing else.
#
#   x86-machine.sh start FOLDER [--port N]... [--share PATH]... [--live-share PATH]...
#       Boots the machine, its state in FOLDER (a folder of the host, shared as well), and returns
#       once it takes jobs. --port: a port of 127.0.0.1 the machine reaches at its own 127.0.0.1;
#       --share: a folder the machine sees; --live-share: one that programs of the host write
#       while the machine reads it (it may lie inside a --share), served uncached so that every
#       read in the machine sees the host's latest (a shared folder's sizes are otherwise kept in
#       the machine for a second). Fails with the reason and the console's end.
#       (--image DIR --writable: the image in DIR, written to: make-image.sh's first boot.)
#   x86-machine.sh run FOLDER -- COMMAND...
#       Runs COMMAND in the machine with this process's environment and working folder; prints
#       its output and exits with its status. A run that is ended ends the command inside.
#   x86-machine.sh stop FOLDER
#       Powers the machine off (and ends its emulator when it does not).
#
# The guest side is guest-init.sh (in the image) and guest-jobs.sh (copied into FOLDER at start):
# a job is a folder FOLDER/jobs/ID with the command, its environment and working folder; the
# machine writes its output and status there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

usage() {
    echo "usage: $0 start FOLDER [--port N]... [--share PATH]... | run FOLDER -- COMMAND... |" \
        "stop FOLDER" >&2
    exit 2
}
[ $# -ge 2 ] || usage
command=$1
folder=$(realpath -m "$2")
shift 2
pidFile=$folder/qemu.pid
console=$folder/console.log

# The emulator of this machine: the process in the pid file, when it is still qemu.
emulator() {
    local pid
    pid=$(cat "$pidFile" 2>/dev/null) || return 1
    [[ "$(readlink "/proc/$pid/exe" 2>/dev/null)" == */qemu-system-x86_64 ]] && echo "$pid"
}

console_end() {
    echo "  the machine's console ($console) ends with:"
    tail -n 25 "$console" 2>/dev/null | sed 's/^/    /'
}

start() {
    local ports=() shares=("$folder") live=() image= writable=
    while [ $# -gt 0 ]; do
        case "$1" in
        --port) ports+=("$2"); shift 2 ;;
        --share) shares+=("$(realpath -m "$2")"); shift 2 ;;
        --live-share) live+=("$(realpath -m "$2")"); shares+=("${live[-1]}"); shift 2 ;;
        --image) image=$2; shift 2 ;;
        --writable) writable=1; shift ;;
        *) usage ;;
        esac
    done
    if pid=$(emulator); then
        echo "The x86 machine of $folder runs already (process $pid): stopping it first." >&2
        stop
    fi
    if [ -z "$image" ]; then
        image=$("$here/make-image.sh") || exit 1
    fi
    for file in disk.ext4 vmlinuz initrd.img; do
        [ -e "$image/$file" ] || { echo "The x86 machine's image has no $file: $image" >&2; exit 1; }
    done
    rm -rf "$folder/jobs" "$folder/tmp" "$folder/guest-ready" "$folder/poweroff" "$console" \
        "$folder"/share*.socket "$folder"/share*.log
    mkdir -p "$folder/jobs" "$folder/tmp"
    cp "$here/guest-jobs.sh" "$folder/guest-jobs.sh"
    printf '%s\n' "${ports[@]}" >"$folder/ports"

    # The shares, outer folders first (a share inside another is mounted over it). Each one is
    # a word of the kernel's command line.
    local arguments=() append="root=/dev/vda rw console=ttyS0 init=/sbin/duplora-init"
    append+=" panic=-1 duplora.machine=$folder"
    local index=0 share mounted=() cache
    while read -r share; do
        cache=auto
        [[ " ${live[*]} " == *" $share "* ]] && cache=none
        for outer in "${mounted[@]}"; do
            # seen through an outer share (a live one is mounted over it)
            [[ "$share/" == "$outer/"* && "$cache" == auto ]] && continue 2
        done
        mounted+=("$share")
        if [[ "$share" =~ [[:space:]] ]]; then
            echo "The x86 machine cannot share a folder whose path holds a blank: $share" >&2
            exit 1
        fi
        [ -d "$share" ] || mkdir -p "$share"
        # Each folder is served by a virtiofsd of its own, which ends with the emulator.
        /usr/lib/qemu/virtiofsd --socket-path="$folder/share$index.socket" -o source="$share" \
            -o cache="$cache" -o sandbox=chroot -o no_xattr </dev/null \
            >"$folder/share$index.log" 2>&1 &
        arguments+=(-chardev "socket,id=share$index,path=$folder/share$index.socket"
            -device "vhost-user-fs-pci,chardev=share$index,tag=share$index")
        append+=" duplora.share=share$index:$share"
        index=$((index + 1))
    done < <(printf '%s\n' "${shares[@]}" | awk '!seen[$0]++ { print length($0) "\t" $0 }' |
        sort -n | cut -f2-)

    # The network: qemu's user network, restricted, so the machine reaches nothing but the
    # forwarded ports. Each connection to 10.0.2.100:PORT in the machine becomes one to
    # 127.0.0.1:PORT here, made when the machine connects.
    local netdev="user,id=net,restrict=on"
    for port in "${ports[@]}"; do
        [[ "$port" =~ ^[0-9]+$ ]] || usage
        netdev+=",guestfwd=tcp:10.0.2.100:$port-cmd:socat - TCP:127.0.0.1:$port"
    done
    local disk="file=$image/disk.ext4,format=raw,if=virtio,cache=unsafe"
    [ -n "$writable" ] || disk+=",snapshot=on"

    # smap=off: with it on, qemu 7.2's TCG reads the user stack of a 32-bit iret with supervisor
    # rights, SMAP forbids that, and the kernel kills every 32-bit process (exit 137, an Oops).
    for _ in $(seq 1 100); do  # the sockets of the file servers
        ls "$folder"/share*.socket >/dev/null 2>&1 &&
            [ "$(ls "$folder"/share*.socket | wc -l)" -eq "$index" ] && break
        sleep 0.1
    done
    # The memory is shared with the file servers (virtiofs needs it so).
    setsid qemu-system-x86_64 -accel tcg,thread=multi -smp 2 -m 4G -cpu max,smap=off \
        -object memory-backend-memfd,id=memory,size=4G,share=on -numa node,memdev=memory \
        -display none -monitor none -serial "file:$console" -no-reboot \
        -kernel "$image/vmlinuz" -initrd "$image/initrd.img" -append "$append" \
        -drive "$disk" -netdev "$netdev" -device virtio-net-pci,netdev=net,romfile= \
        "${arguments[@]}" -pidfile "$pidFile" \
        </dev/null >"$folder/qemu.log" 2>&1 &
    local launcher=$!
    # Up to 5 minutes: a boot takes about 15 s, but the other core may be busy.
    for _ in $(seq 1 3000); do
        [ -e "$folder/guest-ready" ] && {
            echo "The x86 machine runs (process $(emulator), folder $folder)."
            return 0
        }
        if ! kill -0 "$launcher" 2>/dev/null; then
            {
                echo "The x86 machine ended before it took jobs:"
                sed 's/^/  /' "$folder/qemu.log"
                console_end
            } >&2
            exit 1
        fi
        sleep 0.1
    done
    {
        echo "The x86 machine did not take jobs within 5 minutes."
        console_end
    } >&2
    stop
    exit 1
}

run() {
    [ "${1:-}" = -- ] && shift
    [ $# -ge 1 ] || usage
    if ! emulator >/dev/null || [ ! -e "$folder/guest-ready" ]; then
        {
            echo "The x86 machine of $folder is not running: its start step failed or did not run"
            echo "(ctest starts it with the fixture X86Machine)."
            console_end
        } >&2
        exit 1
    fi
    local id job
    id=$(date +%s%N)-$$
    job=$folder/jobs/$id
    mkdir "$job.new"
    # The environment as the caller has it, less what belongs to this side only.
    env -0 | grep -zv -E '^(DISPLAY|XAUTHORITY|DBUS_SESSION_BUS_ADDRESS|SSH_[A-Z_]*|TMPDIR|_|SHLVL|PWD|OLDPWD)=' \
        >"$job.new/environment"
    printf '%s\0' "$@" >"$job.new/command"
    pwd >"$job.new/folder"
    mv "$job.new" "$job"
    # An ended run (CTest's time-out, ^C) ends the command in the machine.
    trap 'touch "$job/cancel"; for _ in $(seq 1 50); do [ -e "$job/status" ] && break; sleep 0.1; done; cat "$job/output" 2>/dev/null; exit 143' TERM INT HUP
    while [ ! -e "$job/status" ]; do
        if ! emulator >/dev/null; then
            cat "$job/output" 2>/dev/null || true
            {
                echo "The x86 machine ended while it ran: $*"
                console_end
            } >&2
            exit 1
        fi
        sleep 0.1
    done
    cat "$job/output"
    local status
    status=$(cat "$job/status")
    rm -rf "$job"
    exit "$status"
}

stop() {
    local pid
    pid=$(emulator) || return 0
    touch "$folder/poweroff"
    for _ in $(seq 1 300); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    echo "The x86 machine did not power off within 30 s: ending its emulator." >&2
    kill -TERM "$pid" 2>/dev/null || true
    sleep 2
    kill -KILL "$pid" 2>/dev/null || true
}

case "$command" in
start) start "$@" ;;
run) run "$@" ;;
stop) stop ;;
*) usage ;;
esac
