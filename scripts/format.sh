#!/usr/bin/env bash
# Formats every C++ source of the tree with clang-format (.clang-format at the top).
#   scripts/format.sh           rewrites the files in place
#   scripts/format.sh --check   changes nothing; lists the files that differ and fails
set -euo pipefail
cd "$(dirname "$0")/.."

command -v clang-format >/dev/null || {
    echo "clang-format fehlt (apt-get install clang-format)" >&2
    exit 2
}
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
    bad=()
    for f in "${files[@]}"; do
        clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
    done
    if ((${#bad[@]})); then
        printf 'Nicht nach .clang-format formatiert:\n' >&2
        printf '  %s\n' "${bad[@]}" >&2
        printf 'scripts/format.sh formatiert sie.\n' >&2
        exit 1
    fi
else
    clang-format -i "${files[@]}"
fi
