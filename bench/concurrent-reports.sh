#!/usr/bin/env bash
# Several processes making reports at the same moment, as on a shared instrument: each
# round starts PROCESSES render-report processes at once on the bundled example, each with
# a customer of its own, and checks with pdftotext that every PDF holds its own customer.
#
#   bench/concurrent-reports.sh [PROCESSES] [ROUNDS] [BUILD_DIR]     (default 8 20 build)
#
# Prints one line per round and the total; exits 1 on any mismatch or failed process.
set -euo pipefail

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
processes=${1:-8}
rounds=${2:-20}
build_dir=$(realpath -m "${3:-$source_dir/build}")

if [ -z "${RG_PRIVATE_TMP:-}" ]; then
    cmake --build "$build_dir" -j"$(nproc)" --target render-report example_images \
        example_catalogs >/dev/null
    exec "$source_dir"/scripts/private-tmp --keep "$build_dir" "${BASH_SOURCE[0]}" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

mismatches=0
failures=0
for round in $(seq 1 "$rounds"); do
    pids=()
    for k in $(seq 1 "$processes"); do
        customer="Customer-$round-$k"
        sed "s|<Customer>[^<]*</Customer>|<Customer>$customer</Customer>|" \
            "$source_dir"/examples/data/CustomerInfo.xml >"$work/customer-$k.xml"
        "$build_dir"/tools/render-report --template "$source_dir"/examples/report/EndFaceReport.htm \
            --customer "$work/customer-$k.xml" --results "$source_dir"/examples/data/CheckerResults.xml \
            --low-mag "$build_dir"/examples/images/lowmag.png \
            --high-mag "$build_dir"/examples/images/highmag.png \
            --locale-dir "$build_dir"/examples/locale --package DovaReport --language ENGLISH \
            --output "$work/report-$k.pdf" 2>"$work/log-$k.txt" &
        pids+=($!)
    done
    round_mismatches=0
    round_failures=0
    for k in $(seq 1 "$processes"); do
        if ! wait "${pids[$((k - 1))]}"; then
            round_failures=$((round_failures + 1))
            continue
        fi
        text=$(pdftotext "$work/report-$k.pdf" - 2>/dev/null | tr '\n' ' ')
        case "$text" in
        *"Customer-$round-$k "*) ;;
        *) round_mismatches=$((round_mismatches + 1)) ;;
        esac
    done
    echo "round $round: $processes processes, $round_failures failed, $round_mismatches mismatches"
    mismatches=$((mismatches + round_mismatches))
    failures=$((failures + round_failures))
done
echo "$processes processes x $rounds rounds: $failures failed, $mismatches mismatches"
[ "$mismatches" -eq 0 ] && [ "$failures" -eq 0 ]
