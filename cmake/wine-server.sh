#!/bin/sh
# Starts (start) or ends (stop) the Wine server of a Windows build's test prefix, $WINEPREFIX,
# with that build's Wine: DUPLORA_WINE (the loader), WINESERVER (its server) and WINEARCH (the
# prefix's word size, the programs'). Kept running across the test executables, it saves each one
# the Wine start-up; it and the Windows services it starts write nowhere, so CTest does not wait
# on their output.
#
# Where this Wine cannot start, the start step fails with Wine's own words: the tests that need
# the prefix are then not run, and the test run fails. Nothing here reports a test as skipped.
#
# DUPLORA_WINEPREFIX_TEMPLATE, when set, names a pristine prefix of the same Wine and word size,
# copied into a new prefix before wineboot brings it up to date: the emulated x86 machine
# (tests/x86-machine/) sets it, where making a prefix takes minutes.
set -eu
: "${WINEPREFIX:?}" "${WINEARCH:?}" "${DUPLORA_WINE:?}" "${WINESERVER:?}"
case "${1:-}" in
start)
    mkdir -p "$WINEPREFIX"
    log="$WINEPREFIX.log"
    for program in "$DUPLORA_WINE" "$WINESERVER"; do
        if [ ! -x "$program" ]; then
            echo "Wine is missing: $program is not installed (Debian: wine64 for the 64-bit" \
                "build, wine32:i386 for the 32-bit one; scripts/install-deps.sh test)" >&2
            exit 1
        fi
    done
    if ! "$DUPLORA_WINE" --version >"$log" 2>&1; then
        echo "$DUPLORA_WINE cannot start on this machine:" >&2
        sed 's/^/  /' "$log" >&2
        if grep -q 'Exec format error' "$log"; then
            echo "  (this kernel does not run programs of that word size)" >&2
        fi
        exit 1
    fi
    template=${DUPLORA_WINEPREFIX_TEMPLATE:-}
    if [ -n "$template" ] && [ ! -e "$WINEPREFIX/system.reg" ]; then
        cp -a "$template/." "$WINEPREFIX/"
    fi
    # Linger two minutes after the last test, in case the stop step never runs. A server that
    # runs already for this prefix (a test run by hand) is used as it is.
    "$WINESERVER" -p120 </dev/null >"$log" 2>&1 || true
    # Creates the prefix on the first run. Its programs draw with Wine's null graphics driver:
    # they make windows without any display (the window tests on a display are wine-e2e's).
    if ! "$DUPLORA_WINE" wineboot -i </dev/null >>"$log" 2>&1 ||
        ! "$DUPLORA_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
            </dev/null >>"$log" 2>&1; then
        echo "wineboot could not make the Wine prefix $WINEPREFIX:" >&2
        sed 's/^/  /' "$log" >&2
        exit 1
    fi
    ;;
stop)
    "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
