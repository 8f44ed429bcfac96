#!/usr/bin/env bash
# Benchmark of the registry fixer: plants 50,000 keys' worth of five values each below scratch
# registry roots (where the default checks look, and a tree for the deep value scan), then times, in
# one run under Wine, the default scan and the deep scan (message pumping and list filling included)
# beside a bare walk of the same keys with the same file-existence and drive-type calls, and prints
# the peak working set.
# Usage: scripts/bench-registry.sh [build-folder] [keys] [gone]
#   (defaults: build, 50000, and 10: one path in ten names a file or folder that is gone)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" 2>/dev/null && pwd || echo "${1:-$root/build}")
keys=${2:-50000}
gone=${3:-10}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target bench_registry >/dev/null

. "$root/scripts/wine-env.sh"
brisfold_wine_start "$build"
trap brisfold_wine_stop EXIT
wine "$build/bin/bench_registry.exe" "$keys" "$gone" </dev/null
