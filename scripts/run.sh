#!/usr/bin/env bash
# Installs what is missing, builds, prepares the demo machine and runs the program's main job there.
# With a display the main window opens. Without one the scan's console report is printed and a
# screenshot of the main window after its scan is taken on a virtual X server.
# Usage: scripts/run.sh [build-folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-$root/build}" && cd "${1:-$root/build}" && pwd)

bash "$root/scripts/build.sh" "$build"
bash "$root/scripts/demo-machine.sh" "$build"

. "$root/scripts/wine-env.sh"
brisfold_wine_env "$build/demo" "$build/demo/prefix"
brisfold_wine_own_profiles
program='C:\Program Files\Quillmar Brisfold'

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$program\\Brisfold.exe"
fi

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
export DISPLAY=$display
sleep 1

echo "== Console report (BrisfoldCmd.exe /scan) =="
status=0
wine "$program\\BrisfoldCmd.exe" /scan || status=$?
echo "== exit status $status (0 nothing found, 1 findings, 2 start-up error) =="

# The window in a virtual desktop, so that Wine draws its frame; the scan starts by itself.
wine explorer /desktop=Brisfold,800x600 "$program\\Brisfold.exe" >/dev/null 2>&1 &
sleep "${BRISFOLD_SCREENSHOT_DELAY:-20}"
shot="$build/demo/main-window.png"
import -window root -crop 800x600+0+0 "$shot"
echo "Screenshot of the main window after its scan: $shot"

# Then the repair of everything that was found, and what it did with each item.
DEMO_PLANTER="$build/bin/privacy_demo_plant.exe"
wine "$DEMO_PLANTER" browsers > "$build/demo/browsers-before.txt" 2>/dev/null || true
echo "== Repair (BrisfoldCmd.exe /scan /repair /report C:\\repair.json) =="
status=0
wine "$program\\BrisfoldCmd.exe" /scan /repair /report 'C:\repair.json' > "$build/demo/repair-report.txt" || status=$?
sed -n '/^Repair\r\?$/,$p' "$build/demo/repair-report.txt" | tr -d '\r'
# A Unix shell sees the status modulo 256: 3010 (complete at the next restart) arrives as 194.
echo "== exit status $status (1 everything listed was removed, 3 something was left, refused or failed, 194 = 3010 complete at the next restart) =="
if cp "$WINEPREFIX/drive_c/repair.json" "$build/demo/repair-report.json" 2>/dev/null; then
  echo "JSON report of the repair: $build/demo/repair-report.json"
else
  echo "The repair wrote no JSON report." >&2
fi

# What the spyware removal keeps in its quarantine, and can restore.
echo "== The quarantine (BrisfoldCmd.exe /quarantine list) =="
status=0
wine "$program\\BrisfoldCmd.exe" /quarantine list | tr -d '\r' || status=$?
echo "== exit status $status (0 listed, 2 nothing could be read) =="

# Today's browsers after the repair: history gone, bookmarks and the saved passwords kept.
echo "== Browser profiles before and after the repair =="
tr -d '\r' < "$build/demo/browsers-before.txt" | sed 's/^/before: /'
wine "$DEMO_PLANTER" browsers 2>/dev/null | tr -d '\r' | sed 's/^/after:  /'

