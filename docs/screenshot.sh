#!/usr/bin/env bash
# Takes docs/screenshot.png: the viewer on the demo reports under a virtual
# display, with the drive that has a failing attribute selected and the
# threshold column sorted. Needs a build in build/, xvfb, xdotool and
# ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
shot=build/screenshot
rm -rf "$shot"
mkdir -p "$shot"
cp "$bin/tolvenar" "$bin/attr_table.ini" "$bin/vendor_table.ini" "$shot/"
cp data/demo/smart_PhysicalDrive*.ini "$shot/"

if [ -z "${TOLVENAR_IN_XVFB:-}" ]; then
    export TOLVENAR_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

"$shot/tolvenar" &
viewer=$!
trap 'kill "$viewer" 2>/dev/null || true' EXIT
window=$(xdotool search --sync --onlyvisible --name "HDD S.M.A.R.T. Viewer")
sleep 1
# Template units to pixels come from the dialog font; the window is 459 x 297
# units, which gives the scale.
eval "$(xdotool getwindowgeometry --shell "$window")"
at() { # x y in template units -> absolute pixels
    awk -v x="$1" -v y="$2" -v X="$X" -v Y="$Y" -v W="$WIDTH" -v H="$HEIGHT" \
        'BEGIN { printf "%d %d", X + x * W / 459, Y + y * H / 297 }'
}
# The first drive of the list at (4, 17), then down to the fifth,
# ST31000528AS, the drive with a failing attribute.
read -r lx ly <<<"$(at 20 20)"
xdotool mousemove "$lx" "$ly" click 1
xdotool key --delay 100 Down Down Down Down
sleep 0.5
# The threshold column's header: the table starts at (115, 7) and the first
# four columns are 28 + 330 + 82 + 75 pixels wide; the table scrolls to show
# it when it lies beyond the visible part.
read -r hx hy <<<"$(at 115 7)"
xdotool mousemove $((hx + 28 + 330 + 82 + 75 + 25)) $((hy + 8)) click 1
sleep 0.5
xdotool mousemove 5 5
sleep 0.5
import -window "$window" docs/screenshot.png
echo "docs/screenshot.png written"
