#!/usr/bin/env bash
# Round trip of dbdtool: build archives in every mode, list them, extract every entry and compare
# with the input bytes; then check that the Windows dbdtool reads the same archive the same way.
# Usage: dbdtool_roundtrip.sh HOST_DBDTOOL [WINE_RUN WINDOWS_DBDTOOL]
set -u
tool=$(readlink -f "$1")
wine_run=${2:-}
wintool=${3:-}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dbdtool-roundtrip.$$.XXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

mkdir -p "$scratch/in"
head -c 100000 /dev/urandom >"$scratch/in/random.bin"
: >"$scratch/in/empty.txt"
printf '[Main]\r\nName=Test\r\n' >"$scratch/in/Main.db"
yes 'line of definition text' | head -n 5000 >"$scratch/in/Long.txt"
inputs=(random.bin empty.txt Main.db Long.txt)

check_archive() {  # archive, expected "stored"/"compressed", path prefix
  local archive=$1 kind=$2 prefix=$3 listing i=0 name
  listing=$("$tool" list "$archive") || { fail "list $archive"; return; }
  [ "$(printf '%s\n' "$listing" | wc -l)" -eq ${#inputs[@]} ] || fail "entry count of $archive: $listing"
  for name in "${inputs[@]}"; do
    local size crc line
    size=$(stat -c %s "$scratch/in/$name")
    crc=$(python3 -c 'import sys,zlib; print("%08X" % zlib.crc32(open(sys.argv[1],"rb").read()))' "$scratch/in/$name")
    line=$(printf '%s\n' "$listing" | sed -n "$((i + 1))p")
    [ "$line" = "$(printf '%d\t%s%s\t%d\t%s\t%s' "$i" "$prefix" "$name" "$size" "$kind" "$crc")" ] ||
      fail "list line $i of $archive: '$line'"
    "$tool" extract "$archive" "$prefix$name" >"$scratch/out" || fail "extract $prefix$name from $archive"
    cmp -s "$scratch/out" "$scratch/in/$name" || fail "content of $prefix$name from $archive"
    i=$((i + 1))
  done
}

cd "$scratch/in"
"$tool" build "$scratch/packed.dbd" "${inputs[@]}" || fail "build compressed"
check_archive "$scratch/packed.dbd" compressed ""
"$tool" build "$scratch/raw.dbd" --store --raw-table "${inputs[@]}" || fail "build stored"
check_archive "$scratch/raw.dbd" stored ""
"$tool" build "$scratch/path.dbd" --path 'Defs\' "${inputs[@]}" || fail "build with path"
check_archive "$scratch/path.dbd" compressed 'Defs\'

# Lookups ignore ASCII case, like the program's.
"$tool" extract "$scratch/packed.dbd" MAIN.DB | cmp -s - "$scratch/in/Main.db" || fail "case-insensitive lookup"

# Errors: the reader's own message on stderr and a non-zero exit.
expect_error() {  # message, command...
  local message=$1; shift
  if "$@" >/dev/null 2>"$scratch/err"; then fail "no error from: $*"; fi
  grep -qF "$message" "$scratch/err" || fail "message of '$*': $(cat "$scratch/err")"
}
expect_error "File not found in archive, please reinstall the program." "$tool" extract "$scratch/path.dbd" Main.db
expect_error "Archive file missed, please reinstall the program." "$tool" list "$scratch/none.dbd"
cp "$scratch/packed.dbd" "$scratch/bad.dbd"
printf 'X' | dd of="$scratch/bad.dbd" bs=1 seek=10 conv=notrunc status=none
expect_error "The archive file appears to be corrupted, please reinstall the program." "$tool" list "$scratch/bad.dbd"

# The Windows build reads the host-built archive identically.
if [ -n "$wintool" ]; then
  native=$("$tool" list "$scratch/path.dbd")
  windows=$("$wine_run" "$wintool" list "Z:$scratch/path.dbd" | tr -d '\r')
  [ "$native" = "$windows" ] || fail "Windows listing differs: $windows"
  "$wine_run" "$wintool" extract "Z:$scratch/path.dbd" 'defs\RANDOM.bin' >"$scratch/out" || fail "Windows extract"
  cmp -s "$scratch/out" "$scratch/in/random.bin" || fail "Windows extract content"
fi

[ "$failures" -eq 0 ] && echo "dbdtool round trip: all checks passed"
exit $((failures > 0))
