#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
# Usage: scripts/test.sh [build-folder]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)"

. "$root/scripts/wine-env.sh"
brisfold_wine_start "$build"
trap brisfold_wine_stop EXIT
status=0
(cd "$build" && ctest --output-on-failure -j 2) || status=$?
exit $status
