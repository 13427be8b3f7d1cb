#!/bin/sh
# Builds the tests' gds32.dll bridge: the Winelib library OUTPUT/lib/gds32.dll.so (winegcc) and
# its placeholder PE OUTPUT/gds32.dll (winebuild --fake-module), with the word size's option
# (-m32 or -m64). The build runs it as a custom command; where the 32-bit tests run in the
# emulated x86 machine, the machine runs it as a test step with its own 32-bit Winelib tools.
#
#   build-bridge.sh WINEGCC WINEBUILD -m32|-m64 OUTPUT SPEC SOURCE... -- WINEGCC-OPTION...
set -eu
[ $# -ge 6 ] || { echo "usage: $0 WINEGCC WINEBUILD -m32|-m64 OUTPUT SPEC SOURCE... -- OPTION..." >&2; exit 2; }
winegcc=$1 winebuild=$2 wordSize=$3 output=$4 spec=$5
shift 5
sources=
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    sources="$sources $1"
    shift
done
[ "${1:-}" = -- ] && shift
mkdir -p "$output/lib"
# shellcheck disable=SC2086 # the sources are paths without blanks, as CMake gives them
"$winegcc" "$wordSize" -shared -fvisibility=hidden -Wall -Wextra "$@" "$spec" $sources \
    -o "$output/lib/gds32.dll" -ldl
"$winebuild" --dll --fake-module "$wordSize" -E "$spec" -F gds32.dll -o "$output/gds32.dll"
