#!/usr/bin/env bash
# Builds the cleaner and starts it under Wine on a demo registry: a private
# prefix (build/demo) with the clutter of demo/clutter.reg. Your own Wine
# prefix and home folder are not touched.
# Without a display it runs the same demo under Xvfb, performs the scan
# through the window's menus and leaves screenshots in build/demo/.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

scripts/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build build/windows -j "$(nproc)" --target cobaltine
exe="$repo/build/windows/cleaner/app/win32/cobaltine.exe"

demo="$repo/build/demo"
scripts/wineprefix.sh copy "$demo"
export COBALT_WINE_DIR="$demo"
reg="Z:${repo//\//\\}\\demo\\clutter.reg"
scripts/wine-run.sh regedit /S "$reg"
echo "demo: registry clutter imported into $demo/prefix"

finish() { WINEPREFIX="$demo/prefix" wineserver -k >/dev/null 2>&1 || true; }
trap finish EXIT

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  scripts/wine-run.sh "$exe"
  exit 0
fi

# No display: a virtual one, and the scan driven through the menus.
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'finish; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY="$display"
sleep 1
scripts/wine-run.sh "$exe" >/dev/null 2>&1 &
window=$(timeout 60 xdotool search --sync --name '^Cobaltine$' | head -n 1)
sleep 2
# Action > Scan registry for problems, as a keyboard user chooses it.
xdotool windowactivate "$window" >/dev/null 2>&1 || true
xdotool key F10 && sleep 0.5 && xdotool key Right && sleep 0.3 && xdotool key Down && sleep 0.3 && xdotool key Return
timeout 60 xdotool search --sync --name '^Scaning\.\.\.$' >/dev/null
sleep 15
import -window root "$demo/cobaltine-scan.png"
# Close the dialog: a click on its caption gives it the keyboard, then Esc.
dialog=$(xdotool search --name '^Scaning\.\.\.$' | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + 8)) click 1
sleep 0.5
xdotool key Escape
sleep 2
import -window root "$demo/cobaltine-main.png"
echo "demo: the scan ran in a virtual display; screenshots:"
echo "  $demo/cobaltine-scan.png (the progress dialog at the end of the scan)"
echo "  $demo/cobaltine-main.png (the problems found)"
