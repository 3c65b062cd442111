#!/usr/bin/env bash
# Installs the desktop launcher of an installed Tarvela: a freedesktop .desktop file under the
# user's applications folder, naming the icon in the program folder, so that the next start is from the desktop's
# menu. The launcher starts the program in the Czech locale, which gives the decimal comma.
#
#   scripts/install-launcher.sh [program-folder]      (default ${TARVELA_HOME:-$HOME/Tarvela})
#   scripts/install-launcher.sh --remove              removes the launcher only
#
# The applications folder is ${XDG_DATA_HOME:-$HOME/.local/share}/applications. The launcher
# names the icon in the program folder by its path: an icon copied into the user's own icon theme
# folder (icons/hicolor, which has no icon cache) made every Qt program of the user look through
# that folder's hundred subfolders for each picture of its tool bar at start.
set -euo pipefail

data=${XDG_DATA_HOME:-$HOME/.local/share}
launcher="$data/applications/tarvela.desktop"
# Where earlier versions copied the icon; removed, with the folders it alone needed.
old_icon="$data/icons/hicolor/scalable/apps/tarvela.svg"
remove_old_icon() {
    if [ -f "$old_icon" ]; then
        rm -f "$old_icon"
        rmdir "$data/icons/hicolor/scalable/apps" "$data/icons/hicolor/scalable" \
            "$data/icons/hicolor" "$data/icons" 2>/dev/null || true
    fi
}

if [ "${1:-}" = "--remove" ]; then
    rm -f "$launcher"
    remove_old_icon
    echo "Removed $launcher (the program folder, its icon and its invoices stay)."
    exit 0
fi

home=$(cd "${1:-${TARVELA_HOME:-$HOME/Tarvela}}" && pwd)
if [ ! -x "$home/tarvela" ]; then
    echo "No installed program in $home (expected $home/tarvela)." >&2
    exit 1
fi

mkdir -p "$(dirname "$launcher")"
remove_old_icon
icon="$home/tarvela.svg"

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
