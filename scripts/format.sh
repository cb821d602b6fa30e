#!/usr/bin/env bash
# Formats the C++ sources with clang-format, or with --check only reports files
# that are not formatted (and fails).
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
[ ${#files[@]} -eq 0 ] && exit 0

if [ "${1:-}" = "--check" ]; then
    clang-format --dry-run --Werror "${files[@]}"
    echo "format: ${#files[@]} files formatted"
else
    clang-format -i "${files[@]}"
fi
