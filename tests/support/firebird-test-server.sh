#!/usr/bin/env bash
# A private Firebird server for the tests: Debian's /usr/sbin/firebird run as the user running
# the tests, with everything it keeps in one folder of its own: configuration, security database
# (SYSDBA / plumcider), lock files and log. It listens on 127.0.0.1 only, on the port given, so
# it runs beside a system server on 3050 and beside the servers of other test runs, and it never
# connects to any other server.
#
#   firebird-test-server.sh start FOLDER PORT  starts it in the background (the CTest fixture
#                                              FirebirdServer) and returns once it accepts
#                                              SYSDBA / plumcider; fails at once when anything
#                                              answers on the port, and with the server's output
#                                              and log when the server does not start
#   firebird-test-server.sh stop FOLDER        ends the server that `start` left running in FOLDER
#   firebird-test-server.sh run FOLDER PORT    runs it in the foreground, as the calling process
#                                              (tests/support/FirebirdTestServer)
#
# FOLDER is emptied first. FIREBIRD_BOOT_BUILD makes Debian's build take every folder (plugins,
# character sets, log) from $FIREBIRD rather than from the system's; its plugins refuse to load
# through a symbolic link, hence the copies.
set -euo pipefail

readonly password=plumcider

usage() {
    echo "usage: $0 start FOLDER PORT | stop FOLDER | run FOLDER PORT" >&2
    exit 2
}

[ $# -ge 2 ] || usage
command=$1
folder=$(realpath -m "$2")
port=${3:-}
case "$command" in start | run) [[ "$port" =~ ^[0-9]+$ ]] || usage ;; esac
pidFile=$folder/server.pid
output=$folder/server.out

export FIREBIRD=$folder FIREBIRD_LOCK=$folder/lock FIREBIRD_BOOT_BUILD=1
unset ISC_USER ISC_PASSWORD FIREBIRD_MSG FIREBIRD_TMP
# The server converts a database's file name to its own locale's character set: under the C
# locale (a root shell on a fresh machine sets no LANG) every accented path fails with "Cannot
# transliterate character between character sets". File names here are UTF-8.
export LC_ALL=C.UTF-8

prepare() {
    local installation
    installation=$(dirname "$(fb_config --udfdir)")
    rm -rf "$folder"
    mkdir -p "$folder/lock"
    cp -R "$installation/plugins" "$installation/intl" "$installation/UDF" "$folder/"
    ln -s "$installation/firebird.msg" "$folder/firebird.msg"
    ln -s "$installation/plugins.conf" "$folder/plugins.conf"
    cat >"$folder/firebird.conf" <<CONF
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
ServerMode = Super
SecurityDatabase = $folder/security3.fdb
CONF
    echo "security.db = $folder/security3.fdb" >"$folder/databases.conf"
    # Embedded access makes the security database and its one user.
    isql-fb -q -b >"$folder/isql.out" 2>&1 <<SQL || { cat "$folder/isql.out" >&2; exit 1; }
CREATE DATABASE '$folder/security3.fdb' USER 'SYSDBA';
CREATE USER SYSDBA PASSWORD '$password';
COMMIT;
SQL
}

# The process in the pid file, when it is the server of this folder (not a process that took
# its number since).
ours() {
    local pid
    pid=$(cat "$pidFile" 2>/dev/null) || return 1
    [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = /usr/sbin/firebird ] &&
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "FIREBIRD=$folder" &&
        echo "$pid"
}

alive() {  # running, and not a zombie waiting for its parent
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) && [ "$state" != Z ]
}

answers() {
    timeout 5 fbsvcmgr "127.0.0.1/$port:service_mgr" -user SYSDBA -password "$password" \
        info_server_version >/dev/null 2>&1
}

taken() {  # something accepts connections on the port
    timeout 5 bash -c ": <>/dev/tcp/127.0.0.1/$port" 2>/dev/null
}

# The server's own account of what happened: its output and its log.
show_log() {
    local file
    for file in "$output" "$folder"/*.log; do
        [ -s "$file" ] || continue
        echo "--- $file"
        cat "$file"
    done >&2
}

stop() {
    local pid
    pid=$(ours) || return 0
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do
        alive "$pid" || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}

case "$command" in
start)
    stop  # the server of an earlier run in this folder that was never stopped
    if taken; then
        # Whatever answers there is not ours: never talk to it.
        echo "Port $port on 127.0.0.1 is in use by another program; give this build another" \
            "one: cmake -DDUPLORA_FIREBIRD_PORT=N" >&2
        exit 1
    fi
    prepare
    # Its own session: it outlives this script and the CTest step that runs it, and writes to
    # files only, so CTest does not wait for its output.
    setsid /usr/sbin/firebird </dev/null >"$output" 2>&1 &
    pid=$!
    echo "$pid" >"$pidFile"
    # A server that cannot listen tries again for about 50 s before it gives up and says why.
    for _ in $(seq 1 600); do
        alive "$pid" || break
        if answers; then
            echo "Firebird test server on 127.0.0.1/$port (process $pid, folder $folder)"
            exit 0
        fi
        sleep 0.1
    done
    if alive "$pid"; then
        echo "The Firebird test server does not answer on 127.0.0.1/$port." >&2
        kill -KILL "$pid" 2>/dev/null || true
    else
        echo "The Firebird test server ended at start (127.0.0.1/$port)." >&2
    fi
    show_log
    exit 1
    ;;
stop)
    stop
    ;;
run)
    prepare
    exec /usr/sbin/firebird
    ;;
*)
    usage
    ;;
esac
