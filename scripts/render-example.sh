#!/usr/bin/env bash
# Sets up, builds and renders the bundled example report to a PDF, then says where it is:
#   scripts/render-example.sh [LANGUAGE]      (ENGLISH by default; FRENCH, CHINESE, ...)
#   scripts/render-example.sh --job           (the example job: four connectors of a cable,
#                                              one report each and one combined PDF)
# Works without a display. Other languages are written beside the English report, e.g.
# build/example-report-chinese.pdf; the job's reports go to build/example-job/. RG_BUILD_DIR
# chooses another build directory.
set -euo pipefail
cd "$(dirname "$0")/.."
language=${1:-ENGLISH}
build=${RG_BUILD_DIR:-build}

scripts/setup-debian.sh
cmake -S . -B "$build"
# Only what the example needs: the library, the tool, the drawn images and the catalogs.
cmake --build "$build" -j"$(nproc)" --target render-report example_images example_catalogs

# Qt wants a private runtime directory; a session without one gets a temporary one.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi

catalogs=(--locale-dir "$build"/examples/locale --package DovaReport)
if [ "$language" = --job ]; then
    # The job file names its files relative to itself: they are gathered beside it.
    job=$PWD/$build/example-job
    mkdir -p "$job"
    cp examples/job/* examples/data/CheckerResults.xml "$build"/examples/images/*.png "$job"/
    "$build"/tools/render-report --job "$job"/cable.csv "${catalogs[@]}" \
        --template examples/report/EndFaceReport.htm --combined "$job"/cable.pdf
    echo "The example job's reports are in $job; all of them in one file: $job/cable.pdf"
    exit 0
fi

output=$PWD/$build/example-report
if [ "$language" != ENGLISH ]; then
    output=$output-$(echo "$language" | tr '[:upper:]' '[:lower:]')
fi
"$build"/tools/render-report \
    --template examples/report/EndFaceReport.htm \
    --language "$language" \
    --customer examples/data/CustomerInfo.xml \
    --results examples/data/CheckerResults.xml \
    --low-mag "$build"/examples/images/lowmag.png \
    --high-mag "$build"/examples/images/highmag.png \
    "${catalogs[@]}" \
    --format pdf \
    --output "$output.pdf"
echo "The example report ($language) is $output.pdf"
