#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets for the hex colour and gradient formats with
# clang (address and undefined-behaviour sanitizers) and runs each one.
# Not part of the test suite; needs clang and libclang-rt-14-dev.
#   bench/fuzz/run.sh [seconds per target, default 60] [jobs, default 1]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-60}
jobs=${2:-1}
out=${LUMORA_FUZZ_DIR:-$root/build-fuzz}
cxx=${CXX_FUZZ:-$(command -v clang++-14 || command -v clang++)}
mkdir -p "$out"

# shellcheck disable=SC2207
qt=($(pkg-config --cflags --libs Qt6Gui))
flags=(-std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
    -I"$root/src/overlay" -I"$root/src/store" -I"$root/src/kit")

seed() { # target, then seed texts
    local dir="$out/corpus_$1" i=0
    shift
    mkdir -p "$dir"
    for text in "$@"; do
        printf '%s' "$text" >"$dir/seed$i"
        i=$((i + 1))
    done
}
seed color '#1A1A2E' '1a1a2e' ' #FFF ' 'FFF' '1A1A2E80' '0x1A2B3C' '0XFFF' '12345' 'G12345' '##abc'
seed gradient 'linear,#667eea,#764ba2' 'radial,#f093fb,#f5576c' 'linear,,#fff,,zz,#000,' 'Linear,#fff,#000' \
    'radial,FFF,000,F00,0x1A2B3C'

printf '%s\n' '"#"' '"0x"' '"0X"' '","' '"linear"' '"radial"' '" "' '"\x0a"' >"$out/hex.dict"

for target in color gradient; do
    echo "== building fuzz_$target"
    "$cxx" "${flags[@]}" "$here/fuzz_$target.cpp" "$root/src/overlay/OverlayBackground.cpp" "${qt[@]}" \
        -o "$out/fuzz_$target"
done

for target in color gradient; do
    echo "== running fuzz_$target for ${seconds}s"
    start=$(date +%s)
    parallel=()
    [ "$jobs" -le 1 ] || parallel=(-fork="$jobs")
    status=0
    (cd "$out" && QT_QPA_PLATFORM=offscreen "./fuzz_$target" "${parallel[@]}" -max_total_time="$seconds" \
        -max_len=512 -dict=hex.dict -print_final_stats=1 "corpus_$target" >"fuzz_$target.log" 2>&1) || status=$?
    grep -E 'stat::number_of_executed_units|^Done|ERROR|SUMMARY|Test unit written' "$out/fuzz_$target.log" || true
    echo "fuzz_$target: ran $(($(date +%s) - start))s, exit status $status (log: $out/fuzz_$target.log)"
done
