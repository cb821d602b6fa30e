#!/usr/bin/env bash
# Checks the namespace rule (scripts/check-namespaces.sh), the naming rule and the
# 80-line function-size rule (CONTRIBUTING.md): the checks and options of .clang-tidy
# (readability-identifier-naming and, but for bench/, readability-function-size),
# over every .cpp of src/, tools/ and bench/ in a build's compile database and over
# the project's own headers they include (never Qt's, the system's or the moc/rcc
# files generated into build/). Prints each violation once and fails when there is one.
#   scripts/check-naming.sh [build folder, default build/dev: configured and built,
#                            so the compile database and the moc headers exist]
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
build=${1:-build/dev}

# Namespaces follow folders: a check of its own, cheap, run first.
namespaces=0
scripts/check-namespaces.sh || namespaces=1

# Folders left out of the check (none).
exclude=''

database="$build/compile_commands.json"
if [ ! -f "$database" ]; then
    echo "check-naming: $database is missing: configure and build the dev preset first" >&2
    exit 2
fi

started=$SECONDS
mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\?$/\1/p' "$database" |
    grep -E "^$top/(src|tools|bench)/.*\.cpp\$" |
    { if [ -n "$exclude" ]; then grep -v "^$top/$exclude"; else cat; fi } | sort -u)
if [ ${#files[@]} -eq 0 ]; then
    echo "check-naming: no sources of src/, tools/ or bench/ in $database" >&2
    exit 2
fi

# Every file's diagnostics; a header's violations come once per file that includes it.
# clang-tidy's exit status is not used: the excluded folders' headers fail it too.
output=$(printf '%s\0' "${files[@]}" |
    xargs -0 -n 1 -P "$(nproc)" clang-tidy --quiet -p "$build" \
        --header-filter="^$top/(src|tools|bench)/" 2>&1 || true)

mapfile -t violations < <(grep -E '(^|: )error: ' <<<"$output" |
    { if [ -n "$exclude" ]; then grep -v "^$top/$exclude"; else cat; fi } |
    sed "s|^$top/||" | sort -u)

elapsed=$((SECONDS - started))
if [ ${#violations[@]} -ne 0 ]; then
    printf '%s\n' "${violations[@]}"
    echo "check-naming: ${#violations[@]} violations in ${#files[@]} files (${elapsed} s)" >&2
    exit 1
fi
echo "check-naming: ${#files[@]} files follow the naming and function-size rules (${elapsed} s)"
exit "$namespaces"
