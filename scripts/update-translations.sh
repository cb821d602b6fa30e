#!/usr/bin/env bash
# Keeps the Qt Linguist files in translations/ in step with the sources (lupdate): a new
# text joins every language's file (unfinished, for the translator), a changed English
# text is marked unfinished, a text that is gone leaves. Veltrix's files are
# veltrix_<language>.ts, Pellow's pellow_<language>.ts.
#
# --check changes nothing: it fails when a file is not in step with the sources, or
# when a German text is missing or unfinished.
set -euo pipefail
cd "$(dirname "$0")/.."

lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
veltrix_sources=(src/protocol src/texts src/model src/session src/watch src/status src/gui)
pellow_sources=(src/pellow)
options=(-locations none -no-obsolete -source-language en -silent)

# lupdate on the sources into the .ts files of folder $1; its notes on code it does not
# need to understand are left out.
update() {
    "$lupdate" "${options[@]}" "${veltrix_sources[@]}" -ts "$1"/veltrix_*.ts \
        2> >(grep -v "Ignoring definition of undeclared qualified class" >&2)
    "$lupdate" "${options[@]}" "${pellow_sources[@]}" -ts "$1"/pellow_*.ts
}

if [ "${1:-}" != "--check" ]; then
    update translations
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp translations/*.ts "$work"/
update "$work"
status=0
for file in translations/*.ts; do
    if ! diff -u "$file" "$work/$(basename "$file")"; then
        echo "$file is not in step with the sources: run scripts/update-translations.sh" >&2
        status=1
    fi
done
for file in translations/*_de.ts; do
    if grep -n -B4 -E 'type="(unfinished|vanished|obsolete)"|<translation></translation>' "$file"; then
        echo "$file: German texts above are missing or unfinished" >&2
        status=1
    fi
done
exit $status
