#!/usr/bin/env bash
# Pictures of the program in German on the demo machine: the main window after its scan and the
# details window at its spyware and junk-file pages, written to docs/main-window-de.png,
# docs/details-window-de.png and docs/details-junk-de.png.
# Run it after scripts/run.sh (or scripts/demo-machine.sh) has prepared the demo machine.
# Usage: tools/pictures/german-pictures.sh [build-folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

. "$root/scripts/wine-env.sh"
brisfold_wine_env "$build"
export WINEPREFIX="$build/demo/prefix"
[ -d "$WINEPREFIX" ] || { echo "german-pictures: no demo machine; run scripts/demo-machine.sh first" >&2; exit 1; }
program='C:\Program Files\Quillmar Brisfold'

# Main.ini selects German; the demo's own settings come back afterwards.
settings="$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")/Kelvor/Dornique/Main.ini"
cp "$settings" "$settings.english"
sed -i 's/^Language=.*/Language=German\r/' "$settings"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  mv "$settings.english" "$settings"
}
trap cleanup EXIT
export DISPLAY=$display
sleep 1

# The window in a virtual desktop, so that Wine draws its frame; the scan starts by itself.
wine explorer /desktop=Brisfold,1024x768 "$program\\Brisfold.exe" >/dev/null 2>&1 &
sleep "${BRISFOLD_SCREENSHOT_DELAY:-20}"
import -window root -crop 800x600+112+84 "$root/docs/main-window-de.png"

# The program centres its 400x366 client area on the 1024x768 desktop; Wine's frame adds 3 pixels at
# the sides and bottom and 22 at the top. A click on a result line (left 264 of the client area, at
# the row's top) opens the details window at that row's page. That window (client area 862x466, also
# centred) closes with its "OK" button at (779, 425) of its client area, 75x25 in size.
left=$(( (1024 - 406) / 2 + 3 ))
top=$(( (768 - 391) / 2 + 22 ))
open_row() {
  xdotool mousemove $((left + 290)) $((top + $1 + 6)) click 1
  sleep 3
}
open_row 90
import -window root "$root/docs/details-window-de.png"
xdotool mousemove $(( (1024 - 868) / 2 + 3 + 779 + 37 )) $(( (768 - 491) / 2 + 22 + 425 + 20 )) click 1
sleep 1
open_row 234
import -window root "$root/docs/details-junk-de.png"
echo "German pictures: $root/docs/main-window-de.png $root/docs/details-window-de.png $root/docs/details-junk-de.png"
