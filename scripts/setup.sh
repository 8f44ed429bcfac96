#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
set -euo pipefail

packages=(
  cmake ninja-build make
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  libz-mingw-w64-dev googletest
  # Wine's own fonts draw the caption buttons (without them they show as letters).
  wine wine64 libwine fonts-wine
  xvfb x11-utils imagemagick xdotool
  nsis python3 python3-jsonschema
  clang libclang-rt-14-dev zlib1g-dev
  xz-utils
  nlohmann-json3-dev
)
# The npm client fetches the SQLite sources; Debian's npm only where none is on PATH (it conflicts
# with a Node.js that brings its own).
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The posix-threads flavour gives std::thread and friends to the cross-compiler.
for tool in x86_64-w64-mingw32-g++ x86_64-w64-mingw32-gcc; do
  current=$(update-alternatives --query "$tool" 2>/dev/null | awk '/^Value:/{print $2}')
  if [ -n "$current" ] && [[ "$current" != *posix ]]; then
    update-alternatives --set "$tool" "/usr/bin/$tool-posix" >/dev/null
  fi
done

# The SQLite amalgamation, into a cache folder outside the source tree (checked by its SHA-256).
bash "$(dirname "$0")/fetch-sqlite.sh"
