#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the prefix of the build folder that holds it
# (<build>/bin/program.exe -> <build>/wineprefix).
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/wine-env.sh"
program=$(readlink -f "$1"); shift
build=$(dirname "$(dirname "$program")")
brisfold_wine_prefix "$build" || exit 1
exec wine "$program" "$@"
