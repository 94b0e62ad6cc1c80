#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The map and the licence stay true:
#   - ARCHITECTURE.md names every platform implementation file (each file
#     under src/platform/linux, by its name without the extension) and
#     every test desktop script (tests/e2e/*.sh);
#   - LICENSE at the root carries the licence text and copyright of the
#     package's copyright file (data/debian/copyright);
#   - every source file the project tracks (C++, CMake, JavaScript, shell,
#     Python) has an SPDX-License-Identifier line naming that licence.
# Usage: check-map.sh [source root]  (the checkout this script is in when
# none is given). Prints what is missing.
set -euo pipefail
root="${1:-$(dirname "$0")/../..}"
cd "$root"
failures=0
fail() {
    echo "check-map: $*" >&2
    failures=$((failures + 1))
}

map=ARCHITECTURE.md
[ -f "$map" ] || { echo "check-map: no $map" >&2; exit 1; }

# Files are found on disk (not only those git tracks), so that a new file is
# caught before it is committed.
mapfile -t platform < <(find src/platform/linux -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
mapfile -t desktops < <(find tests/e2e -maxdepth 1 -type f -name '*.sh' | sort)
for file in "${platform[@]}"; do
    stem=$(basename "$file")
    stem=${stem%.*}
    grep -qw -- "$stem" "$map" || fail "$map does not name $file ($stem)"
done
for file in "${desktops[@]}"; do
    grep -qF -- "$(basename "$file")" "$map" || fail "$map does not name the test desktop $file"
done

# The licence: the text of the copyright file's "License: Expat" paragraph
# (indented by one space, "." for an empty line) and its copyright holder.
copyright=data/debian/copyright
license_id=MIT
expected=$(awk '/^License: Expat$/ && seen { body = 1; next }
               /^License: Expat$/ { seen = 1; next }
               body && /^ / { line = substr($0, 2); if (line == ".") line = ""; print line; next }
               body { exit }' "$copyright")
holder=$(sed -n 's/^Copyright: *//p' "$copyright" | head -n1)
if [ ! -f LICENSE ]; then
    fail "no LICENSE at the root"
else
    [ -n "$expected" ] || fail "$copyright has no Expat licence text"
    # LICENSE: a title, the copyright line, then the text itself.
    actual=$(tail -n +5 LICENSE)
    [ "$actual" = "$expected" ] || fail "LICENSE differs from the licence text in $copyright"
    grep -qx "Copyright $holder" LICENSE || fail "LICENSE does not say: Copyright $holder"
fi

# The SPDX line, within a source file's first lines.
mapfile -t sources < <(
    {
        git ls-files -- '*.cpp' '*.h' '*.js' '*.sh' '*.py' '*.cmake' '*CMakeLists.txt' 2>/dev/null ||
            find src tests bench scripts data -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.js' \
                -o -name '*.sh' -o -name '*.py' -o -name '*.cmake' -o -name CMakeLists.txt \)
        git ls-files --others --exclude-standard -- '*.cpp' '*.h' '*.js' '*.sh' '*.py' '*.cmake' \
            '*CMakeLists.txt' 2>/dev/null || true
    } | sort -u)
missing=0
for file in "${sources[@]}"; do
    [ -f "$file" ] || continue
    if ! head -n 5 -- "$file" | grep -q "SPDX-License-Identifier: $license_id\$"; then
        fail "no 'SPDX-License-Identifier: $license_id' line at the top of $file (scripts/add-spdx.py adds it)"
        missing=$((missing + 1))
    fi
done

if [ "$failures" -gt 0 ]; then
    echo "check-map: $failures problem(s)" >&2
    exit 1
fi
echo "check-map: ${#platform[@]} platform files and ${#desktops[@]} test desktops on the map;" \
    "LICENSE matches; ${#sources[@]} sources carry the SPDX line"
