#!/usr/bin/env bash
# Pictures of the program in German on the demo machine: the main window after its scan, the
# details window at its spyware and junk-file pages, and after a repair the list of what it left,
# written to docs/main-window-de.png, docs/details-window-de.png, docs/details-junk-de.png and
# docs/left-items-de.png.
# Run it after scripts/run.sh (or scripts/demo-machine.sh) has prepared the demo machine; it repairs
# that machine, so run it after the other picture scripts.
# Usage: tools/pictures/german-pictures.sh [build-folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
. "$root/tools/pictures/demo-desktop.sh"
demo_desktop_env "$build"

# Main.ini selects German; the demo's own settings come back afterwards.
settings="$settings_dir/Main.ini"
cp "$settings" "$settings.english"
sed -i 's/^Language=.*/Language=German\r/' "$settings"
cleanup() {
  demo_desktop_stop
  mv "$settings.english" "$settings"
}
trap cleanup EXIT

demo_desktop_start
import -window root -crop 800x600+112+84 "$root/docs/main-window-de.png"
open_row 90
import -window root "$root/docs/details-window-de.png"
close_details
open_row 234
import -window root "$root/docs/details-junk-de.png"
close_details
# "Reparieren", then the red line of the spyware row (the demo leaves one folder on purpose).
xdotool mousemove $((main_left + 264 + 37)) $((main_top + 327 + 12)) click 1
sleep "${BRISFOLD_REPAIR_DELAY:-30}"
open_row 90
import -window root -crop 800x600+112+84 "$root/docs/left-items-de.png"
echo "German pictures: $root/docs/main-window-de.png $root/docs/details-window-de.png $root/docs/details-junk-de.png $root/docs/left-items-de.png"
