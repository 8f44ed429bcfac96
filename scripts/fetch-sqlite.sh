#!/usr/bin/env bash
# Brings the SQLite amalgamation (SQLite 3.52.0, public domain) into a cache folder outside the source
# tree: the npm package sqlite3@6.0.1 carries it unmodified as deps/sqlite-autoconf-3520000.tar.gz.
# Only `npm pack` is used: an install would run the package's own steps, which download prebuilt
# binaries. The tarball's SHA-256 is checked before anything is taken out of it.
# Usage: scripts/fetch-sqlite.sh [cache-folder]   (default: $BRISFOLD_DEPS, else ~/.cache/brisfold-deps)
# Prints nothing when the cache already holds the checked sources; exits non-zero when it cannot.
set -euo pipefail
cache=${1:-${BRISFOLD_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/brisfold-deps}}
package=sqlite3@6.0.1
tarball=sqlite-autoconf-3520000.tar.gz
sha256=f6b50b0c103392af32a8be15b2b9d25959de9a00a70c3979128aafeaa5338b3f
out="$cache/sqlite-3520000"

if [ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ] && [ "$(cat "$out/.sha256" 2>/dev/null)" = "$sha256" ]; then
  exit 0
fi
command -v npm >/dev/null || { echo "fetch-sqlite: npm is missing (scripts/setup.sh installs it)" >&2; exit 1; }

mkdir -p "$cache"
work=$(mktemp -d "$cache/fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "fetch-sqlite: fetching $package into $cache"
(cd "$work" && npm pack "$package" --cache "$cache/npm" --silent >/dev/null)
tar -xzf "$work"/sqlite3-6.0.1.tgz -C "$work" "package/deps/$tarball"
actual=$(sha256sum "$work/package/deps/$tarball" | cut -d' ' -f1)
if [ "$actual" != "$sha256" ]; then
  echo "fetch-sqlite: $tarball has SHA-256 $actual, expected $sha256; nothing was taken" >&2
  exit 1
fi
tar -xzf "$work/package/deps/$tarball" -C "$work" \
  sqlite-autoconf-3520000/sqlite3.c sqlite-autoconf-3520000/sqlite3.h
rm -rf "$out"
mkdir -p "$out"
mv "$work/sqlite-autoconf-3520000/sqlite3.c" "$work/sqlite-autoconf-3520000/sqlite3.h" "$out/"
echo "$sha256" > "$out/.sha256"
