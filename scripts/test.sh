#!/usr/bin/env bash
# Installs what is missing, builds everything, scans a fresh machine (which must report nothing) and
# runs every test under Wine.
# Usage: scripts/test.sh [build-folder]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

bash "$root/scripts/build.sh" "$build"

. "$root/scripts/wine-env.sh"

# A prefix made anew for this run, its profile folders its own, scanned before anything else runs:
# a clean machine reports nothing, so the console scan must end with status 0.
scan_fresh_machine() {
  local place="$build/fresh-machine" code=0
  if [ -d "$place/wineprefix" ]; then
    WINEPREFIX="$place/wineprefix" wineserver -k 2>/dev/null || true
  fi
  rm -rf -- "$place"
  brisfold_wine_prefix "$place" || return 1
  wine "$build/bin/BrisfoldCmd.exe" /scan >"$place/scan-report.txt" 2>&1 </dev/null || code=$?
  brisfold_wine_stop
  if [ "$code" -ne 0 ]; then
    echo "fresh machine: BrisfoldCmd.exe /scan ended with status $code, not 0 (nothing found):" >&2
    cat "$place/scan-report.txt" >&2
    return 1
  fi
  echo "fresh machine: BrisfoldCmd.exe /scan found nothing"
}

status=0
(scan_fresh_machine) || status=1

brisfold_wine_start "$build"
trap brisfold_wine_stop EXIT
# One program at a time: they share one prefix, and the drive letters one of them maps for its stand-in
# drives change the final paths another one's files resolve to.
# A program that fails is run once more: a few privacy tests depend on Wine's process list and timing.
# The first failure stays in the log; failing twice fails the run.
(cd "$build" && ctest --output-on-failure -j 1 --repeat until-pass:2) || status=1
exit $status
