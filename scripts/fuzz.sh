#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given seconds (default 30)
# on a copy of its seed corpus. Any crash or sanitizer report fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=build-fuzz
scripts/setup-debian.sh
CC=clang CXX=clang++ cmake -S . -B "$build" -DRG_FUZZ=ON -DRG_EXAMPLES=OFF
cmake --build "$build" -j"$(nproc)"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
for target in "$build"/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=$(mktemp -d)
    cp -r fuzz/corpus/"${name#fuzz_}"/. "$corpus"/ 2>/dev/null || true
    echo "== $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -n 15
    rm -rf "$corpus"
done
