#!/bin/sh
# Starts (start) or ends (stop) the Wine server of the cross build's test prefix, $WINEPREFIX.
# Kept running across the test executables it saves each one the Wine start-up; it and the
# Windows services it starts write nowhere, so CTest does not wait on their output.
#
# A machine whose kernel cannot run 32-bit programs cannot run 32-bit Wine at all. Then the
# start step writes the reason into "$WINEPREFIX.unavailable", and every Wine test reports itself
# skipped with that reason (cmake/wine-run.sh): the cross build is still built, and the skip is
# shown in the test summary, never counted as a pass.
set -eu
: "${WINEPREFIX:?}"
# Duplora.exe is a 32-bit program: its prefix is a 32-bit Windows, also where wine64 is installed.
export WINEARCH=win32
unavailable="$WINEPREFIX.unavailable"
case "${1:-}" in
start)
    rm -f "$unavailable"
    mkdir -p "$WINEPREFIX"
    log="$WINEPREFIX.log"
    if ! wine --version >"$log" 2>&1; then
        {
            echo "32-bit Wine cannot run on this machine:"
            sed 's/^/  /' "$log"
            echo "  (the kernel refuses 32-bit programs; the Wine tests are skipped)"
        } | tee "$unavailable" >&2
        exit 0
    fi
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
    [ -e "$unavailable" ] || wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
