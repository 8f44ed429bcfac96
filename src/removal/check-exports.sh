#!/bin/sh
# Fails unless the DLL's export table names exactly the given functions.
# Usage: check-exports.sh <objdump> <dll> <name>...
objdump=$1 dll=$2
shift 2
actual=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
expected=$(printf '%s\n' "$@" | sort)
if [ "$actual" != "$expected" ]; then
  echo "check-exports: $dll exports" $actual "but must export exactly" $expected >&2
  exit 1
fi
