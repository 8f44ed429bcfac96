#!/usr/bin/env bash
# Pictures of the options on the demo machine: the findings list's right-click menu, the settings
# dialog and the "Ignored items" dialog, written to docs/details-menu.png, docs/settings-dialog.png and
# docs/ignored-items.png. Along the way one spyware row is ignored through the menu, as a user would;
# the demo's own settings and ignore list come back afterwards.
# With German as second argument the same pictures in German (docs/...-de.png).
# Run it after scripts/run.sh (or scripts/demo-machine.sh) has prepared the demo machine.
# Usage: tools/pictures/option-pictures.sh [build-folder] [English|German]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
language=${2:-English}
case "$language" in
  English) suffix="" settings_key=t ;;
  German) suffix="-de" settings_key=e ;;
  *) echo "option-pictures: English or German" >&2; exit 1 ;;
esac
. "$root/tools/pictures/demo-desktop.sh"
demo_desktop_env "$build"

cp "$settings_dir/Main.ini" "$settings_dir/Main.ini.demo"
[ -f "$settings_dir/Ignore.ini" ] && cp "$settings_dir/Ignore.ini" "$settings_dir/Ignore.ini.demo"
cleanup() {
  demo_desktop_stop
  mv "$settings_dir/Main.ini.demo" "$settings_dir/Main.ini"
  if [ -f "$settings_dir/Ignore.ini.demo" ]; then
    mv "$settings_dir/Ignore.ini.demo" "$settings_dir/Ignore.ini"
  else
    rm -f "$settings_dir/Ignore.ini"
  fi
}
trap cleanup EXIT
sed -i "s/^Language=.*/Language=$language\r/" "$settings_dir/Main.ini"
# A user's earlier choices, so that the dialog shows every section.
printf '%s\r\n' '[Registry]' 'HKEY_CURRENT_USER\Software\Classes\.old=N/A' '[Cookie]' 'ads.example.com/=' \
  > "$settings_dir/Ignore.ini"

shoot() { import -window root -crop "$1" "$root/docs/$2$suffix.png"; echo "option-pictures: docs/$2$suffix.png"; }
demo_desktop_start

# A right click on the second spyware row opens the menu.
open_row 90
xdotool mousemove $((details_left + 200)) $((details_top + 100)) click 3
sleep 2
shoot 880x500+$((details_left - 3))+$((details_top - 22)) details-menu
# "Ignore this item" by its key, then the window closes.
xdotool key i
sleep 2
close_details

# The system menu by its keys, then its items by theirs. The dialogs are centred on the desktop.
xdotool mousemove $((main_left + 200)) $((main_top - 10)) click 1
xdotool key alt+space
sleep 1
xdotool key "$settings_key"
sleep 2
shoot 580x640+222+64 settings-dialog
xdotool key Escape
sleep 1
xdotool key alt+space
sleep 1
xdotool key i
sleep 2
shoot 640x410+192+179 ignored-items
xdotool key Escape
sleep 1
