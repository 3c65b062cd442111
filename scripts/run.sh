#!/usr/bin/env bash
# Installs what is missing, builds Tarvela, installs it into its program folder and starts it.
#
# The program folder is ${TARVELA_HOME:-$HOME/Tarvela}: the program, its print module
# (libPRM1.so) and the report templates (Ses/) go there, and the program keeps its settings
# (Tarvela.ini) and its invoices (one folder per year) there. Reinstalling replaces the program
# and the print module only: Tarvela.ini, the period folders and a template already present
# (perhaps edited) are left as they are. A desktop launcher and its icon are installed under the
# user's applications folder, so that the next start is from the desktop's menu.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'MSG'
Tarvela is a desktop program and needs a display, but neither DISPLAY nor WAYLAND_DISPLAY is set.
On a machine without a display, run it under a virtual X server:

    xvfb-run -a scripts/run.sh

(xvfb-run is in the Debian packages xvfb and xauth: apt-get install xvfb xauth; the tests'
installer, scripts/install-deps.sh test, installs them as well.)
MSG
    exit 2
fi

scripts/install-deps.sh run

home=${TARVELA_HOME:-$HOME/Tarvela}
build=${TARVELA_RUN_BUILD_DIR:-build-run}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DTARVELA_BUILD_TESTS=OFF -DTARVELA_BUILD_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX="$home"
cmake --build "$build" -j "$(nproc)"
mkdir -p "$home"
cmake --install "$build"
# The next start is from the desktop's menu (scripts/install-launcher.sh --remove takes it away).
scripts/install-launcher.sh "$home"

echo "Starting Tarvela from $home"
# The program requires a decimal comma, which the Czech locale gives; Qt reads the locale's name
# even when the C library has not generated it.
cd "$home"
exec env LANG=cs_CZ.UTF-8 LC_ALL=cs_CZ.UTF-8 "$home/tarvela"
