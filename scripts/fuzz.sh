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

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$work/build" >/dev/null
cp "$work/build/archive_fuzzer" "$work/build/make_seeds" "$work/"
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
