#!/usr/bin/env bash
# Benchmark of the console report: prepares a fresh demo machine, then times in one run under Wine
# three "/scan" runs and one "/scan /repair" there, each beside the scanners' own work (the run less
# the time its pacing pauses slept), and prints the peak working set.
# Usage: scripts/bench-console.sh [build-folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

cmake --build "$build" -j2 --target bench_console >/dev/null
bash "$root/scripts/demo-machine.sh" "$build" >/dev/null

. "$root/scripts/wine-env.sh"
brisfold_wine_env "$build/demo" "$build/demo/prefix"
brisfold_wine_own_profiles
brisfold_wine_headless || true
trap 'wineserver -k 2>/dev/null || true' EXIT
wine "$build/bin/bench_console.exe" 'C:\Program Files\Quillmar Brisfold' </dev/null
