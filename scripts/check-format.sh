#!/usr/bin/env bash
# Fails, naming the files, when a C or C++ file of the project differs from what clang-format
# makes of it with the project's .clang-format. To mend: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -d '' files < <(find src tests bench -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 | sort -z)
# One run over all files; each difference is reported as "FILE:LINE:COLUMN: error: ...".
report=$(clang-format --dry-run "${files[@]}" 2>&1) || { echo "$report" >&2; exit 1; }
drift=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: .*/\1/p' <<<"$report" | sort -u)
if [ -n "$drift" ]; then
    echo "Not formatted as .clang-format says (clang-format -i FILE... mends them):" >&2
    sed 's/^/  /' <<<"$drift" >&2
    exit 1
fi
