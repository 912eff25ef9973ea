#!/usr/bin/env bash
# Installs everything the build, the tests, the benchmarks and the packaging need on a
# fresh Debian 12 machine. Safe to run again.
set -euo pipefail

packages=(
    # build
    build-essential cmake pkg-config dpkg-dev file
    qtbase5-dev qtbase5-dev-tools libqt5webkit5-dev libqpdf-dev
    # tests, fuzzing, benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    gettext poppler-utils xvfb xauth locales iproute2
    # fonts that cover all report languages (Latin, Cyrillic, CJK)
    fonts-dejavu-core fonts-noto-core fonts-noto-cjk
    # reference renderer for the performance comparison
    wkhtmltopdf
)

# Locales that the language tests select through the environment.
locales=(
    "en_US.UTF-8 UTF-8"
    "en_GB.UTF-8 UTF-8"
    "fr_FR.UTF-8 UTF-8"
    "fr_CA.UTF-8 UTF-8"
    "de_DE.UTF-8 UTF-8"
    "de_DE@euro ISO-8859-15"
    "zh_TW BIG5"
    "nb_NO.UTF-8 UTF-8"
    "pt_BR.UTF-8 UTF-8"
    "ja_JP.UTF-8 UTF-8"
)

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    "${as_root[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

regenerate=0
for l in "${locales[@]}"; do
    if ! grep -qxF "$l" /etc/locale.gen; then
        echo "$l" | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
        regenerate=1
    fi
done
if [ $regenerate -eq 1 ] || ! locale -a | grep -qi '^fr_FR.utf8$'; then
    "${as_root[@]}" locale-gen
fi
