#!/usr/bin/env bash
# Installs what is missing, builds the release and writes the two artefacts into dist/:
# BrisfoldSetup-<version>.exe (setup program and uninstaller) and Brisfold-<version>-portable.zip.
# The version is the project version in CMakeLists.txt.
# Usage: scripts/package.sh [build-folder]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

bash "$root/scripts/build.sh" "$build"
version=$(sed -n 's/^#define BRISFOLD_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/BrisfoldVersion.h")
[ -n "$version" ] || { echo "package: no version in $build/generated/BrisfoldVersion.h" >&2; exit 1; }
mkdir -p "$root/dist"
for artefact in "BrisfoldSetup-$version.exe" "Brisfold-$version-portable.zip"; do
  cp "$build/package/$artefact" "$root/dist/"
  echo "$root/dist/$artefact"
done
