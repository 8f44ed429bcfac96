# Sourced by the scripts: the Wine environment of a folder ($1: a build folder, or the demo's folder in
# it), whose prefix ($2, default $1/wineprefix), Unix home and trash all live inside it.
brisfold_wine_env() {
  local place
  place=$(mkdir -p "$1" && cd "$1" && pwd)
  export WINEPREFIX="${2:-$place/wineprefix}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win64
  # Wine links a new prefix's Desktop, Documents and the like into the Unix home, and empties the Unix
  # trash as the recycle bin: neither may be the developer's own.
  export HOME="$place/home"
  export XDG_CONFIG_HOME="$HOME/.config"
  export XDG_DATA_HOME="$place/xdg-data"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
}

# Creates the prefix on first use: headless (null graphics driver) and without add-on installers.
# Arguments as brisfold_wine_env.
brisfold_wine_prefix() {
  brisfold_wine_env "$@"
  if [ ! -f "$WINEPREFIX/.brisfold-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    brisfold_wine_headless
    wineserver -w
    touch "$WINEPREFIX/.brisfold-ready"
  fi
  brisfold_wine_fonts
  brisfold_wine_own_profiles
}

# Debian's Wine does not load its own fonts (fonts-wine) from its data folder: in the prefix's Fonts
# folder it does, and the windows get Tahoma and the Marlett caption buttons a Windows user sees.
brisfold_wine_fonts() {
  local font fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -d "$fonts" ] || return 0
  for font in /usr/share/wine/fonts/*.ttf; do
    [ -f "$font" ] && [ ! -e "$fonts/${font##*/}" ] && cp -- "$font" "$fonts/"
  done
  return 0
}

# The profile folders Wine linked into the Unix home become real folders of the prefix, so that nothing
# a test, a demo or a repair plants or deletes there reaches outside it. Only the link itself goes:
# `rm -r`, or a trailing slash, would empty the folder it points at.
brisfold_wine_own_profiles() {
  local users="$WINEPREFIX/drive_c/users" p real inside
  for p in "$users"/*/*; do
    if [ -L "$p" ]; then
      rm -- "$p"
      mkdir -- "$p"
    fi
  done
  inside=$(cd "$WINEPREFIX" && pwd -P)
  for p in "$users"/* "$users"/*/* "$users"/*/AppData/*; do
    [ -e "$p" ] || [ -L "$p" ] || continue
    real=$(readlink -f -- "$p") || real=""
    case "$real" in
      "$inside"/*) ;;
      *) echo "wine-env: $p leads outside the prefix (to '$real'); stopping" >&2; return 1 ;;
    esac
  done
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
  brisfold_wine_headless || true
}

brisfold_wine_stop() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
