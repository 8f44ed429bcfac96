#!/usr/bin/env bash
# Benchmark of the definition archive reader (host build, not a test): builds a ~50 MB archive of a
# few thousand entries and times opening it (whole-file CRC + table) and extracting every entry,
# next to zlib's crc32 and a plain inflate of the same bytes in the same run.
# Usage: scripts/bench-archive.sh [ENTRIES] [ENTRY_KB]   (defaults 3100 entries of 20 KB)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${BENCH_DIR:-$root/build/bench}
mkdir -p "$work"
g++ -std=c++20 -O2 -DNDEBUG -I"$root/src" -I"$root/tools/dbdtool" \
  "$root/tools/dbdtool/bench/ArchiveBench.cpp" "$root/tools/dbdtool/ArchiveWriter.cpp" \
  "$root/src/spyware/ZLIBArchive.cpp" "$root/src/spyware/Crc32.cpp" -lz -o "$work/ArchiveBench"
trap 'rm -f "$work/bench.dbd"' EXIT
"$work/ArchiveBench" "$work/bench.dbd" "${1:-3100}" "${2:-20}"
