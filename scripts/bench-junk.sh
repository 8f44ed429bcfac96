#!/usr/bin/env bash
# Benchmark of the junk-file scan: plants 100,000 old files in a temporary folder tree inside the Wine
# prefix, then times, in one run under Wine, the scanner thread (until Finished, memo filled) beside a
# bare walk of the same tree (the same listing call), and prints the peak working set.
# Usage: scripts/bench-junk.sh [build-folder] [file-count]   (defaults: build, 100000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" 2>/dev/null && pwd || echo "${1:-$root/build}")
count=${2:-100000}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target bench_junk >/dev/null

# Also points XDG_DATA_HOME (the Unix trash Wine empties as the recycle bin) into the build folder.
. "$root/scripts/wine-env.sh"
brisfold_wine_start "$build"
name="BrisfoldBench-$$"
tree="$WINEPREFIX/drive_c/$name"
cleanup() { rm -rf "$tree"; brisfold_wine_stop; }
trap cleanup EXIT

# 100 folders of count/100 files, each a little over 2 KiB and ten days old.
rm -rf "$tree"
per=$((count / 100))
block=$(head -c 2100 /dev/zero | tr '\0' 'x')
for d in $(seq -w 0 99); do
  mkdir -p "$tree/folder$d"
  ( cd "$tree/folder$d" && for i in $(seq 1 "$per"); do printf '%s' "$block" > "cache_entry_$i.tmp"; done )
done
find "$tree" -type f -exec touch -d '10 days ago' {} +
echo "planted $(find "$tree" -type f | wc -l) files in C:\\$name"

wine "$build/bin/bench_junk.exe" "C:\\$name" </dev/null
