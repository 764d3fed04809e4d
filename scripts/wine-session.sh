#!/usr/bin/env bash
# One Wine session for a test run:
#   wine-session.sh start DIR KEEPALIVE.EXE   fresh prefix copy, keep-alive started
#   wine-session.sh stop DIR                  everything in the prefix ended
# The keep-alive starts Wine's background processes with their output sent to
# /dev/null; started by a test instead, they would hold CTest's pipe open.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${2:?usage: wine-session.sh start|stop DIR [KEEPALIVE]}"
export COBALT_WINE_DIR="$dir"
case "$1" in
  start)
    if [ -d "$dir/prefix" ]; then
      WINEPREFIX="$dir/prefix" wineserver -k >/dev/null 2>&1 || true
      WINEPREFIX="$dir/prefix" wineserver -w >/dev/null 2>&1 || true
    fi
    "$repo/scripts/wineprefix.sh" copy "$dir"
    # Tests create windows but need no pixels: Wine's null display driver.
    printf '\n[Software\\\\Wine\\\\Drivers] 1700000000\n"Graphics"="null"\n' >>"$dir/prefix/user.reg"
    ready="$dir/keepalive.ready"
    rm -f "$ready"
    unixready="$ready"
    setsid "$repo/scripts/wine-run.sh" "${3:?keep-alive program}" "Z:${unixready//\//\\}" \
      </dev/null >/dev/null 2>&1 &
    for _ in $(seq 1 600); do
      [ -f "$ready" ] && exit 0
      sleep 0.1
    done
    echo "wine-session: the keep-alive did not start" >&2
    exit 1
    ;;
  stop)
    WINEPREFIX="$dir/prefix" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$dir/prefix" wineserver -w >/dev/null 2>&1 || true
    ;;
  *)
    echo "usage: wine-session.sh start|stop DIR [KEEPALIVE]" >&2
    exit 2
    ;;
esac
