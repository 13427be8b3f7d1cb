#!/bin/sh
# Starts (start) or ends (stop) the Wine server of the cross build's test prefix, $WINEPREFIX.
# Kept running across the test executables it saves each one the Wine start-up; it and the
# Windows services it starts write nowhere, so CTest does not wait on their output.
set -eu
: "${WINEPREFIX:?}"
case "${1:-}" in
start)
    mkdir -p "$WINEPREFIX"
    log="$WINEPREFIX.log"
    # Linger two minutes after the last test, in case the stop step never runs. A server that
    # runs already for this prefix (a test run by hand) is used as it is.
    wineserver -p120 </dev/null >"$log" 2>&1 || true
    # Creates the prefix on the first run; no display is needed for console programs.
    if ! wine wineboot -i </dev/null >>"$log" 2>&1; then
        cat "$log" >&2
        if grep -q 'Exec format error' "$log"; then
            echo "This kernel does not run 32-bit programs (its IA32 emulation is off), so" \
                "32-bit Wine cannot run here." >&2
        fi
        exit 1
    fi
    ;;
stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
