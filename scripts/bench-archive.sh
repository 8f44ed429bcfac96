#!/usr/bin/env bash
# Benchmark of the definition archive reader (host build, not a test): builds a ~50 MB archive of a
# few thousand entries and times opening it (whole-file CRC + table) and extracting every entry,
# next to zlib's crc32 and a plain inflate of the same bytes in the same run.
# Usage: scripts/bench-archive.sh [ENTRIES] [ENTRY_KB]   (defaults 3100 entries of 20 KB)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${BENCH_DIR:-$root/build/bench}
mkdir -p "$work"
cmake -S "$root/tools/dbdtool/native" -B "$work/native" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/native" --target ArchiveBench >/dev/null
cp "$work/native/ArchiveBench" "$work/ArchiveBench"
trap 'rm -f "$work/bench.dbd"' EXIT
"$work/ArchiveBench" "$work/bench.dbd" "${1:-3100}" "${2:-20}"
