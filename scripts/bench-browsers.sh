#!/usr/bin/env bash
# Benchmark of the privacy sweeper's browser-history cleaning: builds a History of 100,000 pages and
# 500,000 visits (one page in 20 bookmarked) inside the Wine prefix and times, in one run, the sweeper's
# repair beside the same statements run by a minimal program over the same SQLite library.
# Usage: scripts/bench-browsers.sh [build-folder] [chrome|firefox]   (defaults: build, chrome)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" 2>/dev/null && pwd || echo "${1:-$root/build}")
which=${2:-chrome}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target bench_browsers >/dev/null

. "$root/scripts/wine-env.sh"
brisfold_wine_start "$build"
trap brisfold_wine_stop EXIT
wine "$build/bin/bench_browsers.exe" "$which" </dev/null
