#!/usr/bin/env bash
# Checks that namespaces follow folders (CONTRIBUTING.md): every namespace of the
# project's own that a file of src/, tools/ or bench/ defines at its top (the ones
# clang-format closes with "}  // namespace veltrix..." or "pellow...") is its
# folder's, as the table below names it. Nested namespaces (ids::, transport::) and
# short forward-declaration blocks of lower layers are not looked at. Prints each
# misplaced namespace and fails when there is one.
#   scripts/check-namespaces.sh   (also the test layer_namespaces)
set -euo pipefail
cd "$(dirname "$0")/.."

# Folder (the longest prefix wins) and the namespace its files define.
read -r -d '' table <<'EOF' || true
src/protocol         veltrix
src/texts            veltrix
src/model            veltrix
src/session          veltrix
src/watch            veltrix
src/password         veltrix::password
src/status           veltrix::status
src/pellow           pellow
src/gui              veltrix
src/gui/platform     veltrix::platform
src/gui/shell        veltrix::shell
src/gui/hostview     veltrix
src/gui/hostlist     veltrix
tools                veltrix
tools/servicesim     veltrix::sim
bench                veltrix::bench
EOF

mapfile -t files < <(find src tools bench -name '*.h' -o -name '*.cpp' | sort)

# Prints "file: defines <ns>, its folder's is <expected>" for each misplaced closer.
violations=$(awk -v table="$table" '
    BEGIN {
        n = split(table, rows, "\n")
        for (i = 1; i <= n; ++i) {
            if (split(rows[i], cell, " +") == 2) { expected[cell[1]] = cell[2] }
        }
    }
    FNR == 1 {
        folder = FILENAME; want = ""
        while (want == "" && sub(/\/[^\/]*$/, "", folder)) {
            if (folder in expected) { want = expected[folder] }
        }
    }
    /^}  \/\/ namespace (veltrix|pellow)/ {
        if ($4 != want) {
            printf "%s:%d: defines namespace %s, its folder'\''s is %s\n", FILENAME, FNR, $4,
                   want == "" ? "missing from scripts/check-namespaces.sh" : want
        }
    }' "${files[@]}")

if [ -n "$violations" ]; then
    printf '%s\n' "$violations"
    echo "check-namespaces: $(wc -l <<<"$violations") namespaces outside their folder's" >&2
    exit 1
fi
echo "check-namespaces: ${#files[@]} files define their folder's namespace"
