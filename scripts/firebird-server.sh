#!/usr/bin/env bash
# Starts the Firebird 3 server of Debian's firebird3.0-server package on loopback, with the
# account SYSDBA / plumcider that Duplora's database link uses. Run as root after
# scripts/install-deps.sh. Assumes no init system: starts the guardian (fbguard, which keeps
# the server process alive) directly, as the package's init script does.
#
# Idempotent: a server that already answers with that password is left as it is. Stops nothing.
set -euo pipefail

readonly password=plumcider
readonly run=/run/firebird3.0
readonly pidfile=$run/firebird.pid
readonly securityDb=/var/lib/firebird/3.0/system/security3.fdb
readonly passwordFile=/etc/firebird/3.0/SYSDBA.password

answers() {  # $1: password; true when the server on loopback accepts SYSDBA with it
    fbsvcmgr localhost:service_mgr -user SYSDBA -password "$1" info_server_version \
        >/dev/null 2>&1
}

running() { pidof fbguard >/dev/null 2>&1 || pidof firebird >/dev/null 2>&1; }

remember_password() {  # keeps Debian's maintenance file in step with the security database
    [ -f "$passwordFile" ] || return 0
    sed -i "s/^ISC_PASSWORD=.*/ISC_PASSWORD=\"$password\"/" "$passwordFile"
}

if answers "$password"; then
    echo "Firebird server already running with SYSDBA/$password"
    exit 0
fi

if running; then
    # Someone else's server: change the password through it, with the one Debian recorded.
    oldPassword=$( (. "$passwordFile" 2>/dev/null && echo "${ISC_PASSWORD:-}") || true)
    if [ -n "$oldPassword" ] && answers "$oldPassword"; then
        fbsvcmgr localhost:service_mgr -user SYSDBA -password "$oldPassword" \
            action_modify_user sec_username SYSDBA sec_password "$password"
        remember_password
    fi
else
    # Embedded access to the security database, as the server's own user so that every lock
    # file it leaves behind stays usable by the server.
    echo "create or alter user SYSDBA password '$password';" |
        runuser -u firebird -- isql-fb -q -b -user SYSDBA "$securityDb"
    remember_password

    mkdir -p "$run"
    chown firebird:firebird "$run"
    chmod 0770 "$run"
    rm -f "$pidfile"
    start-stop-daemon --start --quiet --chuid firebird --pidfile "$pidfile" \
        --exec /usr/sbin/fbguard -- -daemon -forever -pidfile "$pidfile"
fi

for _ in $(seq 1 100); do
    if answers "$password"; then
        echo "Firebird server running on loopback with SYSDBA/$password"
        exit 0
    fi
    sleep 0.2
done
echo "firebird-server.sh: the Firebird server does not answer SYSDBA/$password on localhost" >&2
exit 1
