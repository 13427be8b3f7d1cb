#!/bin/sh
# Runs a cross-built test program under Wine, or reports it skipped (exit 77) when the start step
# found that this machine cannot run 32-bit Wine (see cmake/wine-server.sh).
: "${WINEPREFIX:?}"
if [ -e "$WINEPREFIX.unavailable" ]; then
    cat "$WINEPREFIX.unavailable"
    exit 77
fi
exec wine "$@"
