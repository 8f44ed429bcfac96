#!/usr/bin/env bash
# Prepares a demo Windows machine in its own Wine prefix (<demo-folder>/prefix, by default
# <build>/demo/prefix): the program folder installed under Program Files, a settings folder with a
# Main.ini, and traces for every scanner, planted by the scripts tools/demo/*/plant.sh.
# Usage: scripts/demo-machine.sh [build-folder [demo-folder]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
demo=${2:-$build/demo}
mkdir -p "$demo"
demo=$(cd "$demo" && pwd)

# A fresh machine every time, so that a demo shows what a first run finds; its Unix home and trash
# stay inside it.
. "$root/scripts/wine-env.sh"
brisfold_wine_env "$demo" "$demo/prefix"
wineserver -k 2>/dev/null || true
rm -rf "$demo"
brisfold_wine_env "$demo" "$demo/prefix"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
wineserver -w
brisfold_wine_fonts
brisfold_wine_own_profiles

win_var() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
unix_of() { winepath -u "$1" 2>/dev/null; }

program_win='C:\Program Files\Quillmar Brisfold'
program_dir=$(unix_of "$program_win")
# The program folder as it ships: the build stages it for the portable zip from the one list of
# shipped files.
stage="$build/package/portable/Quillmar Brisfold"
[ -f "$stage/Brisfold.exe" ] || { echo "demo: $stage is missing; build first" >&2; exit 1; }
mkdir -p "$program_dir"
cp -R "$stage/." "$program_dir/"

appdata_win=$(win_var APPDATA)
settings_dir="$(unix_of "$appdata_win")/Kelvor/Dornique"
mkdir -p "$settings_dir"
printf '%s\r\n' '[Main]' 'Language=English' '' '[Junk File Removal]' 'TempFile=1' 'IE Cache=1' 'Recycle=1' \
  'WindowsUpdate=1' 'ErrorReports=1' 'CrashDumps=1' 'Thumbnails=1' \
  'RemoveDay=2' '' '[RegistryOpt]' 'Openscan=0' > "$settings_dir/Main.ini"

# What each scanner's planting script may use.
export DEMO_BUILD="$build" DEMO_PROGRAM_DIR="$program_dir" DEMO_SETTINGS_DIR="$settings_dir"
export DEMO_APPDATA_WIN="$appdata_win"
for plant in "$root"/tools/demo/*/plant.sh; do
  [ -f "$plant" ] || continue
  echo "demo: planting $(basename "$(dirname "$plant")") traces"
  bash "$plant"
done
wineserver -w
echo "demo: machine ready in $WINEPREFIX (program in $program_win)"
