#!/bin/bash
# The job loop of the emulated x86 machine (started by guest-init.sh; x86-machine.sh copies it
# into the machine's folder at each start). It runs each job the host puts into FOLDER/jobs,
# several at once when the host sends several, until the host asks it to power off:
#   FOLDER/jobs/ID/command      the command and its arguments, each ended by a NUL
#   FOLDER/jobs/ID/environment  its environment, NAME=VALUE each ended by a NUL
#   FOLDER/jobs/ID/folder       its working folder
# and writes FOLDER/jobs/ID/output (standard output and error) and then FOLDER/jobs/ID/status.
# FOLDER/jobs/ID/cancel ends the job's processes; FOLDER/poweroff ends the loop.
#
# Each job also gets:
#   DUPLORA_TEST_FOLDERS         FOLDER/tmp, where a Linux test program makes its test folders
#                                (tests/support/TestFolder.h): the host sees them too, and the
#                                tests' Firebird server there opens the databases made in them
#                                (TMPDIR stays this machine's own: Wine keeps its sockets there)
#   DUPLORA_WINEPREFIX_TEMPLATE  a pristine 32-bit Wine prefix of this machine's Wine, which the
#                                tests copy instead of making a prefix (minutes under emulation)
# A job's WINEPREFIX on a host folder is kept on this machine's own disk: the folder is mounted
# over with one of the disk, so the prefix (hundreds of MB), and the tests' folders in its drive
# C:, cost no round trip to the host.
set -u
shopt -s nullglob
machine=${1:?usage: $0 FOLDER}
jobs=$machine/jobs
readonly template=/opt/duplora/wineprefix-win32
cd /

# The forwarded ports: 127.0.0.1:PORT here leads to 10.0.2.100:PORT, which qemu leads to the
# host's 127.0.0.1:PORT.
while read -r port; do
    [ -n "$port" ] || continue
    socat "TCP-LISTEN:$port,bind=127.0.0.1,fork,reuseaddr" "TCP:10.0.2.100:$port" \
        </dev/null >/dev/null 2>&1 &
done <"$machine/ports"

local_prefix() {
    local prefix=$1 local
    mkdir -p "$prefix" || return 0
    [ "$(findmnt -n -o FSTYPE -T "$prefix")" = virtiofs ] || return 0
    local=/var/lib/duplora/prefixes/$(echo "$prefix" | md5sum | cut -c1-16)
    mkdir -p "$local"
    mount --bind "$local" "$prefix"
}

run_job() {
    local job=$1 environment command folder started status
    mapfile -d '' environment <"$job/environment"
    mapfile -d '' command <"$job/command"
    folder=$(cat "$job/folder")
    for variable in "${environment[@]}"; do
        case "$variable" in WINEPREFIX=/*) local_prefix "${variable#WINEPREFIX=}" ;; esac
    done
    started=$(date +%s)
    echo "job ${job##*/}: ${command[*]}"
    setsid env -i "${environment[@]}" DUPLORA_TEST_FOLDERS="$machine/tmp" \
        DUPLORA_WINEPREFIX_TEMPLATE="$template" \
        bash -c 'cd "$1" || exit 127; shift; exec "$@"' job "$folder" "${command[@]}" \
        </dev/null >"$job/output" 2>&1 3<&- &
    echo $! >"$job/pid"
    wait $!
    status=$?
    echo "job ${job##*/}: status $status after $(($(date +%s) - started)) s"
    echo "$status" >"$job/status.new"
    mv "$job/status.new" "$job/status"
}

# A pause without a process: under emulation every program started costs, and the loop asks
# ten times a second.
mkfifo /run/guest-jobs.pause
exec 3<>/run/guest-jobs.pause
pause() { read -r -t 0.1 -u 3 || true; }

touch "$machine/guest-ready"
echo "x86 machine: taking jobs from $jobs"
while [ ! -e "$machine/poweroff" ]; do
    for job in "$jobs"/*; do
        [[ "$job" == *.new ]] && continue
        if [ ! -e "$job/taken" ]; then
            touch "$job/taken"
            run_job "$job" &
        elif [ -e "$job/cancel" ] && [ ! -e "$job/cancelled" ] && [ -e "$job/pid" ]; then
            touch "$job/cancelled"
            kill -TERM -- "-$(cat "$job/pid")" 2>/dev/null
        fi
    done
    pause
done
echo "x86 machine: powering off"
sync
