#!/usr/bin/env bash
# Sets up, builds and renders the bundled example report to a PDF, then says where it is:
#   scripts/render-example.sh [LANGUAGE]      (ENGLISH by default; FRENCH, CHINESE, ...)
# Works without a display. Other languages are written beside the English report, e.g.
# build/example-report-chinese.pdf. RG_BUILD_DIR chooses another build directory.
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
    --locale-dir "$build"/examples/locale \
    --package DovaReport \
    --format pdf \
    --output "$output.pdf"
echo "The example report ($language) is $output.pdf"
