#!/usr/bin/env bash
# Wine prefixes for the tests and the demo.
#   wineprefix.sh base            make the base prefix once (about 10 s)
#   wineprefix.sh copy DIR        DIR/prefix: a fresh copy of it, DIR/home: a private HOME
# Copies, never hard links: wineserver rewrites the hive files in place.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${BUILD_CACHE:-$repo/.cache}"
base="$cache/wine-base"

wine_env() {  # HOME private, no menu entries, no debugger, no Mono/Gecko prompts
  export HOME="$1" WINEPREFIX="$2" WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d;mscoree=;mshtml="
  export XDG_DATA_HOME="$1/.local/share" XDG_CONFIG_HOME="$1/.config" XDG_CACHE_HOME="$1/.cache"
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
}

# The profile folders of a new prefix link to $HOME; make them real folders.
unlink_profile() {
  local users="$1/drive_c/users"
  local link
  for link in "$users"/*/*; do
    if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
  done
}

case "${1:-}" in
  base)
    if [ -f "$base/.ready" ]; then exit 0; fi
    rm -rf "$base" "$cache/wine-base-home"
    mkdir -p "$cache"
    (
      wine_env "$cache/wine-base-home" "$base"
      unset DISPLAY
      wineboot -i >/dev/null 2>&1
      wineserver -w
      # Without a window manager (Xvfb) Wine draws the frames itself.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
      wineserver -w
    )
    unlink_profile "$base"
    touch "$base/.ready"
    echo "wineprefix: base prefix ready in $base"
    ;;
  copy)
    dir="${2:?usage: wineprefix.sh copy DIR}"
    [ -f "$base/.ready" ] || "$0" base
    rm -rf "$dir/prefix" "$dir/home"
    mkdir -p "$dir/home/.local/share"
    cp -a "$base" "$dir/prefix"
    ;;
  *)
    echo "usage: wineprefix.sh base | copy DIR" >&2
    exit 2
    ;;
esac
