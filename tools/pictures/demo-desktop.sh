# Sourced by the picture scripts: the program on the demo machine, shown in a Wine virtual desktop of
# 1024x768 on a virtual X server, and where its windows lie there.
# Usage: . demo-desktop.sh; demo_desktop_env <build-folder>; demo_desktop_start; ...; demo_desktop_stop

# Sets WINEPREFIX to the demo machine, program (its folder) and settings_dir (its Main.ini's folder).
demo_desktop_env() {
  . "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
  brisfold_wine_env "$1/demo" "$1/demo/prefix"
  [ -d "$WINEPREFIX" ] || { echo "pictures: no demo machine; run scripts/demo-machine.sh first" >&2; exit 1; }
  program='C:\Program Files\Quillmar Brisfold'
  settings_dir="$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")/Kelvor/Dornique"
}

# Starts the X server and the program, which scans by itself, and waits for the scan.
demo_desktop_start() {
  local display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  demo_xvfb=$!
  export DISPLAY=$display
  sleep 1
  # A virtual desktop, so that Wine draws the frames.
  wine explorer /desktop=Brisfold,1024x768 "$program\\Brisfold.exe" >/dev/null 2>&1 &
  sleep "${BRISFOLD_SCREENSHOT_DELAY:-20}"
}

demo_desktop_stop() {
  wineserver -k 2>/dev/null || true
  [ -z "${demo_xvfb:-}" ] || kill "$demo_xvfb" 2>/dev/null || true
}

# Both windows are centred on the desktop; Wine's frame adds 3 pixels at the sides and bottom and 22
# at the top. Client areas: the main window 400x366, the details window 862x466.
main_left=$(( (1024 - 406) / 2 + 3 ))
main_top=$(( (768 - 391) / 2 + 22 ))
details_left=$(( (1024 - 868) / 2 + 3 ))
details_top=$(( (768 - 491) / 2 + 22 ))

# A click on a result line (left 264 of the main window's client area, at the row's top: 90, 138, 186
# or 234) opens the details window at that row's page.
open_row() {
  xdotool mousemove $((main_left + 290)) $((main_top + $1 + 6)) click 1
  sleep 3
}

# The details window's "OK" button (75x25 at 779,425 of its client area) closes it.
close_details() {
  xdotool mousemove $((details_left + 779 + 37)) $((details_top + 425 + 12)) click 1
  sleep 1
}
