#!/usr/bin/env bash
# Set-up, build and the whole test suite: scripts/test.sh [build-dir] [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
scripts/setup-debian.sh
cmake -S . -B "$build" "$@"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
