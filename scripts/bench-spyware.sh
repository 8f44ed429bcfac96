#!/usr/bin/env bash
# Benchmark of the spyware scan: 10,000 generated definitions (keys in both registry views, files and
# folders, a few present) scanned beside a bare program that probes the same keys and paths in the
# same order, three times in one run under Wine; prints the peak working set.
# Usage: scripts/bench-spyware.sh [build-folder] [definitions] [hit] [present]
#   (defaults: build, 10000, 20 and 1000: every 20th definition has a registry hit, every 1000th its
#   files too)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" 2>/dev/null && pwd || echo "${1:-$root/build}")
definitions=${2:-10000}
hit=${3:-20}
present=${4:-1000}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target bench_spyware >/dev/null

. "$root/scripts/wine-env.sh"
brisfold_wine_start "$build"
trap brisfold_wine_stop EXIT
wine "$build/bin/bench_spyware.exe" "$definitions" "$hit" "$present" </dev/null
