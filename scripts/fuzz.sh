#!/usr/bin/env bash
# Builds the archive reader's libFuzzer target natively (clang, ASan + UBSan) and runs it.
# Usage: scripts/fuzz.sh SECONDS [extra libFuzzer options...]
# Work folder: $FUZZ_DIR (default build/fuzz): corpus/, seeds/, crash-* artifacts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:?usage: scripts/fuzz.sh SECONDS [libFuzzer options]}
shift
work=${FUZZ_DIR:-$root/build/fuzz}
mkdir -p "$work/corpus" "$work/seeds" "$work/artifacts"

reader=("$root/src/spyware/ZLIBArchive.cpp" "$root/src/spyware/Crc32.cpp")
includes=(-I"$root/src" -I"$root/tools/dbdtool")
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  "${includes[@]}" "$root/fuzz/archive_fuzzer.cpp" "${reader[@]}" -lz -o "$work/archive_fuzzer"
clang++ -std=c++20 -O1 "${includes[@]}" "$root/fuzz/make_seeds.cpp" "$root/tools/dbdtool/ArchiveWriter.cpp" \
  "${reader[@]}" -lz -o "$work/make_seeds"
"$work/make_seeds" "$work/seeds"
# Earlier regressions are seeds too.
cp "$root"/tests/spyware/archive_cases/*.dbd "$work/seeds/" 2>/dev/null || true

cd "$work"
"$work/archive_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=256 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$@" \
  "$work/corpus" "$work/seeds" 2>&1 | tee "$work/last-run.log" | grep -E "^#[0-9]+.*(pulse|DONE)|ERROR|stat::number_of_executed_units|SUMMARY" || true
status=${PIPESTATUS[0]}
echo "fuzz: exit $status, corpus $(ls "$work/corpus" | wc -l) inputs, log $work/last-run.log"
exit "$status"
