#!/usr/bin/env bash
# Installs the desktop launcher of an installed Tarvela: a freedesktop .desktop file under the
# user's applications folder and the icon it names, so that the next start is from the desktop's
# menu. The launcher starts the program in the Czech locale, which gives the decimal comma.
#
#   scripts/install-launcher.sh [program-folder]      (default ${TARVELA_HOME:-$HOME/Tarvela})
#   scripts/install-launcher.sh --remove              removes the launcher and its icon only
#
# The applications folder is ${XDG_DATA_HOME:-$HOME/.local/share}/applications.
set -euo pipefail

data=${XDG_DATA_HOME:-$HOME/.local/share}
launcher="$data/applications/tarvela.desktop"
icon="$data/icons/hicolor/scalable/apps/tarvela.svg"

if [ "${1:-}" = "--remove" ]; then
    rm -f "$launcher" "$icon"
    echo "Removed $launcher and $icon (the program folder and its invoices stay)."
    exit 0
fi

home=$(cd "${1:-${TARVELA_HOME:-$HOME/Tarvela}}" && pwd)
if [ ! -x "$home/tarvela" ]; then
    echo "No installed program in $home (expected $home/tarvela)." >&2
    exit 1
fi

mkdir -p "$(dirname "$launcher")" "$(dirname "$icon")"
if [ -f "$home/tarvela.svg" ]; then
    cp "$home/tarvela.svg" "$icon"
fi

# Exec arguments with spaces are quoted; a literal "%" would be a field code, "$" and "\" are
# escaped as the desktop entry format asks inside quotes.
quoted=$(printf '%s' "$home/tarvela" | sed -e 's/[\\"`$]/\\\\&/g' -e 's/%/%%/g')
cat >"$launcher" <<DESKTOP
[Desktop Entry]
Type=Application
Version=1.0
Name=Tarvela
GenericName=Fakturace
Comment=Vystavování a tisk faktur
Exec=env LANG=cs_CZ.UTF-8 LC_ALL=cs_CZ.UTF-8 "$quoted"
Path=$home
Icon=$icon
Terminal=false
Categories=Office;Finance;
StartupNotify=true
DESKTOP
chmod 0644 "$launcher"
if command -v update-desktop-database >/dev/null 2>&1; then
    update-desktop-database -q "$(dirname "$launcher")" || true
fi
echo "Launcher installed: $launcher"
