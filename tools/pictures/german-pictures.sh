#!/usr/bin/env bash
# Pictures of the program in German on the demo machine: the main window after its scan and the
# details window at its spyware and junk-file pages, written to docs/main-window-de.png,
# docs/details-window-de.png and docs/details-junk-de.png.
# Run it after scripts/run.sh (or scripts/demo-machine.sh) has prepared the demo machine.
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
echo "German pictures: $root/docs/main-window-de.png $root/docs/details-window-de.png $root/docs/details-junk-de.png"
