# Sourced by the scripts: the Wine environment of a build folder ($1), whose prefix lives inside it.
brisfold_wine_env() {
  local build
  build=$(cd "$1" && pwd)
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win64
  # Under Wine, emptying the recycle bin empties the Unix user's trash: this one stays in the build.
  export XDG_DATA_HOME="$build/xdg-data"
  mkdir -p "$XDG_DATA_HOME"
}

# Creates the prefix on first use: headless (null graphics driver) and without add-on installers.
brisfold_wine_prefix() {
  brisfold_wine_env "$1"
  if [ ! -f "$WINEPREFIX/.brisfold-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    brisfold_wine_headless
    wineserver -w
    touch "$WINEPREFIX/.brisfold-ready"
  fi
}

brisfold_wine_headless() {
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
}

# One persistent wineserver for a run; Wine's services are started with their output detached,
# so that they do not hold the pipes of whoever runs the tests.
brisfold_wine_start() {
  brisfold_wine_prefix "$1"
  # A server left running by an earlier command is as good as a new one.
  wineserver -p 2>/dev/null || true
  # Also starts Wine's services; and a prefix that was used with a display is made headless again.
  brisfold_wine_headless
}

brisfold_wine_stop() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
