#!/usr/bin/env bash
# Installs the Debian packages Tarvela needs, when any are missing.
#
#   scripts/install-deps.sh run    what building and running the program needs (scripts/run.sh)
#   scripts/install-deps.sh test   that, and what the tests, benchmarks and checks need
#                                  (scripts/test.sh); also the default without an argument
#   scripts/install-deps.sh bench  that, and WeasyPrint, the baseline of the whole-process
#                                  measurement of printing (bench/whole_process.sh) only
#
# libqt6svg6 brings Qt's SVG icon engine (plugins/iconengines/libqsvgicon.so): the pictures of
# the actions bundled with the program are SVG files.
# libxmlsec1-dev with libxmlsec1-openssl (and libxml2-dev, libssl-dev) sign the EET messages and
# check the service's answers; xmlsec1, the command, checks the signatures independently in the
# tests, as the service does. qtkeychain-qt6-dev keeps the EET certificate's password in the
# desktop's secret store, never in Tarvela.ini.
# lld (the linker) and ninja-build (the build tool) make the test builds faster; a build without
# them falls back to the default linker and to make.
set -euo pipefail

mode=${1:-test}

run_packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-translations-l10n libgl-dev
    libqt6svg6
    libqrencode-dev libkainjow-mustache-dev
    libxml2-dev libssl-dev libxmlsec1-dev libxmlsec1-openssl qtkeychain-qt6-dev
    fonts-dejavu-core xdg-utils
)
test_packages=(
    libgtest-dev libbenchmark-dev
    poppler-utils zbar-tools libxml2-utils xmlsec1
    xvfb xauth
    clang libclang-rt-14-dev clang-format
    lld ninja-build
    libxcb1-dev
)

bench_packages=(weasyprint)

case "$mode" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
bench) packages=("${run_packages[@]}" "${test_packages[@]}" "${bench_packages[@]}") ;;
*)
    echo "usage: $0 [run|test|bench]" >&2
    exit 2
    ;;
esac

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
