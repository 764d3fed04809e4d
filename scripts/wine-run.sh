#!/usr/bin/env bash
# Runs a Windows program in the private prefix of COBALT_WINE_DIR (made by
# wine-session.sh start). CTest's emulator for the Windows build.
set -euo pipefail
dir="${COBALT_WINE_DIR:?COBALT_WINE_DIR is not set}"
export HOME="$dir/home" WINEPREFIX="$dir/prefix" WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d;mscoree=;mshtml="
export XDG_DATA_HOME="$dir/home/.local/share" XDG_CONFIG_HOME="$dir/home/.config" XDG_CACHE_HOME="$dir/home/.cache"
exec wine "$@"
