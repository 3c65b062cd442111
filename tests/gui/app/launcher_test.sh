#!/usr/bin/env bash
# The desktop launcher of an installed program: its entry starts the program folder's executable
# in the Czech locale (also from a folder with a space in its name), names the program folder's
# icon by its path without copying it into the user's icon theme folder (it takes away a copy an
# earlier version put there), and --remove takes the launcher away while the program folder stays.
set -euo pipefail
script=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
home="$scratch/Moje faktury"
mkdir -p "$home"
printf '#!/bin/sh\n' >"$home/tarvela"
chmod +x "$home/tarvela"
echo '<svg xmlns="http://www.w3.org/2000/svg"/>' >"$home/tarvela.svg"
export XDG_DATA_HOME="$scratch/data"

fail() { echo "FAIL: $*" >&2; exit 1; }

old_icon="$XDG_DATA_HOME/icons/hicolor/scalable/apps/tarvela.svg"
mkdir -p "$(dirname "$old_icon")"
cp "$home/tarvela.svg" "$old_icon"
"$script" "$home" >/dev/null
[ ! -e "$XDG_DATA_HOME/icons" ] || fail "icon theme folder left: $(find "$XDG_DATA_HOME/icons")"
entry="$XDG_DATA_HOME/applications/tarvela.desktop"
[ -f "$entry" ] || fail "no launcher at $entry"
grep -qx '\[Desktop Entry\]' "$entry" || fail "no [Desktop Entry] group"
grep -qx 'Type=Application' "$entry" || fail "not an application"
grep -qx "Exec=env LANG=cs_CZ.UTF-8 LC_ALL=cs_CZ.UTF-8 \"$home/tarvela\"" "$entry" ||
    fail "Exec line: $(grep Exec= "$entry")"
grep -qx "Path=$home" "$entry" || fail "Path line"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ "$icon" = "$home/tarvela.svg" ] || fail "icon $icon is not the program folder's icon"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$entry" || fail "desktop-file-validate"
fi

# Installing again replaces the entry instead of adding a second one.
"$script" "$home" >/dev/null
[ "$(ls "$XDG_DATA_HOME/applications" | grep -c tarvela)" = 1 ] || fail "second entry"

# No program, no launcher.
if "$script" "$scratch/nic" >/dev/null 2>&1; then fail "a launcher for a missing program"; fi

"$script" --remove >/dev/null
[ ! -e "$entry" ] || fail "launcher left after --remove"
[ -x "$home/tarvela" ] || fail "--remove touched the program folder"
echo "launcher ok"
