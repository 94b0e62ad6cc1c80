#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every catalogue in translations/ is up to date with the code and complete:
# lupdate run over src/ changes nothing (no new, changed or dropped texts)
# and no entry is left untranslated. After changing texts, run
#   cmake --build build --target update_translations
# and translate what it marks unfinished.
# Usage: check-translations.sh <lupdate> <source root>
set -euo pipefail
lupdate=$1
root=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for ts in "$root"/translations/*.ts; do
    name=$(basename "$ts")
    cp "$ts" "$scratch/$name"
    # The English catalogue holds only the plural forms of texts with a count.
    plural_only=()
    [ "$name" = lumora_en.ts ] && plural_only=(-pluralonly)
    (cd "$root" && "$lupdate" -silent "${plural_only[@]}" src -ts "$scratch/$name" -no-obsolete -locations none)
    if ! diff -u "$ts" "$scratch/$name" >"$scratch/$name.diff"; then
        echo "$name is out of date with the code:"
        head -60 "$scratch/$name.diff"
        status=1
    fi
    unfinished=$(grep -c 'type="unfinished"' "$scratch/$name" || true)
    if [ "$unfinished" -ne 0 ]; then
        echo "$name: $unfinished entries without a translation:"
        grep -B3 'type="unfinished"' "$scratch/$name" | grep '<source>' | head -20
        status=1
    fi
done
exit $status
