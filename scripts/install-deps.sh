#!/usr/bin/env bash
# Installs the Debian packages Tarvela needs to build, run and test, when any are missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-translations-l10n libgl-dev
    libgtest-dev libbenchmark-dev
    libqrencode-dev libkainjow-mustache-dev
    poppler-utils zbar-tools libxml2-utils xdg-utils
    xvfb xauth fonts-dejavu-core
    clang libclang-rt-14-dev clang-format
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
