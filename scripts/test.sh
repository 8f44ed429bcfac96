#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
# Usage: scripts/test.sh [build-folder]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

bash "$root/scripts/build.sh" "$build"

. "$root/scripts/wine-env.sh"
brisfold_wine_start "$build"
trap brisfold_wine_stop EXIT
status=0
(cd "$build" && ctest --output-on-failure -j 2) || status=$?
exit $status
