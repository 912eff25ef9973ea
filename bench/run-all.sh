#!/usr/bin/env bash
# Builds the benchmarks in a Release tree, runs every Google Benchmark program and the
# end-to-end comparison on the bundled example, and prints the tables.
#
#   bench/run-all.sh [BUILD_DIR] [options of compare-end-to-end.py]
#
# BUILD_DIR defaults to build-bench in the source tree. Results (JSON and the raw output of
# each program) are kept in BUILD_DIR/bench-results.
set -euo pipefail

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(realpath -m "${1:-$source_dir/build-bench}")
shift $(($# > 0 ? 1 : 0))
results=$build_dir/bench-results

# The staging page has a fixed path in /tmp. As root the suite runs with a /tmp of its own
# (scripts/private-tmp), so that it neither disturbs nor is disturbed by the tests or
# reports of other processes; the checkout and the build tree stay reachable wherever they
# are, also under /tmp.
if [ -z "${RG_PRIVATE_TMP:-}" ]; then
    mkdir -p "$build_dir"
    exec "$source_dir"/scripts/private-tmp --keep "$build_dir" "${BASH_SOURCE[0]}" "$build_dir" "$@"
fi

echo "== Building (Release) in $build_dir" >&2
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DRG_TESTS=OFF \
    -DRG_BENCH=ON -DRG_EXAMPLES=ON >/dev/null
cmake --build "$build_dir" -j"$(nproc)" >/dev/null
rm -rf "$results"
mkdir -p "$results"

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 XDG_RUNTIME_DIR=$runtime

echo "Date: $(date -R)"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "Load before: $(uptime)"
echo "Commit: $(git -C "$source_dir" rev-parse --short HEAD 2>/dev/null || echo unknown)"
if [ "$RG_PRIVATE_TMP" = private ]; then
    echo "/tmp: private to the suite"
else
    echo "/tmp: shared with other processes"
fi

repetitions=5

# run_benchmark PROGRAM OUTPUT_NAME [ARGUMENTS...]
run_benchmark() {
    local program=$1 output=$2
    shift 2
    if ! "$program" --benchmark_out="$results/$output.json" --benchmark_out_format=json "$@" \
        >"$results/$output.txt" 2>&1; then
        echo "Note: $output failed (see $results/$output.txt); its rows are missing."
        rm -f "$results/$output.json"
    fi
}

for source in "$source_dir"/bench/bench_*.cpp; do
    name=$(basename "$source" .cpp)
    program=$build_dir/bench/$name
    echo "== $name" >&2
    if [ ! -x "$program" ]; then
        echo "Note: $name was not built; its rows are missing."
        continue
    fi
    # A benchmark fixed to one iteration times something that happens once in a process
    # (the first report): each repetition gets a process of its own.
    mapfile -t once < <("$program" --benchmark_list_tests | grep -E '/iterations:1(/|$)' || true)
    exclusion=()
    for benchmark in "${once[@]}"; do
        for repetition in $(seq $repetitions); do
            run_benchmark "$program" "$name.${benchmark//[\/:]/_}.$repetition" \
                --benchmark_filter="^$benchmark\$"
        done
        exclusion+=("$benchmark")
    done
    filter=()
    if [ ${#exclusion[@]} -gt 0 ]; then
        filter=(--benchmark_filter="-^($(IFS='|'; echo "${exclusion[*]}"))\$")
    fi
    run_benchmark "$program" "$name" --benchmark_repetitions=$repetitions \
        --benchmark_report_aggregates_only=true "${filter[@]}"
done
python3 "$source_dir/bench/summarize.py" "$results"/bench_*.json --json "$results/in-process.json"

echo "== End to end" >&2
python3 "$source_dir/bench/compare-end-to-end.py" --build-dir "$build_dir" \
    --json "$results/end-to-end.json" "$@"
echo "== A job against separate processes" >&2
python3 "$source_dir/bench/job-vs-processes.py" --build-dir "$build_dir" \
    --json "$results/job.json"
echo
echo "Load after: $(uptime)"
