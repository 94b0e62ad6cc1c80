#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every C++ file the project tracks is formatted as .clang-format says
# (Debian 12's clang-format). Prints the files that are not, and how to fix them.
set -euo pipefail
cd "$(dirname "$0")/../.."
if ! command -v clang-format >/dev/null; then
    echo "check-format: clang-format is not installed (apt-get install clang-format)" >&2
    exit 1
fi
mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
# One run over every file; each complaint starts with the file's name.
mapfile -t unformatted < <(clang-format --dry-run --Werror "${files[@]}" 2>&1 |
    sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*clang-format.*/\1/p' | sort -u)
if [ ${#unformatted[@]} -gt 0 ]; then
    printf 'check-format: not formatted: %s\n' "${unformatted[@]}" >&2
    echo "check-format: run: clang-format -i ${unformatted[*]}" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"
