#!/usr/bin/env bash
# Takes docs/screenshot.png: the viewer on the demo reports under a virtual
# display, with the drive that has a failing attribute selected and the
# threshold column sorted. Then, beside the demo drives, a drive converted
# from a capture with a failed self-test: its drive-list menu and its
# self-test log, written into the folder given (default build/screenshot).
# Needs a build in build/, xvfb, xdotool and ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
shot=build/screenshot
more="$(realpath -m "${1:-$shot}")"

if [ -z "${TOLVENAR_IN_XVFB:-}" ]; then
    rm -rf "$shot"
    mkdir -p "$shot" "$more"
    cp "$bin/tolvenar" "$bin/attr_table.ini" "$bin/vendor_table.ini" "$shot/"
    cp data/demo/smart_PhysicalDrive*.ini "$shot/"
fi

if [ -z "${TOLVENAR_IN_XVFB:-}" ]; then
    export TOLVENAR_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

viewer=
trap 'kill "$viewer" 2>/dev/null || true' EXIT
start_viewer() {
    "$shot/tolvenar" &
    viewer=$!
    window=$(xdotool search --sync --onlyvisible --name "HDD S.M.A.R.T. Viewer")
    sleep 1
    # Template units to pixels come from the dialog font; the window is 459 x
    # 297 units, which gives the scale.
    eval "$(xdotool getwindowgeometry --shell "$window")"
}
at() { # x y in template units -> absolute pixels
    awk -v x="$1" -v y="$2" -v X="$X" -v Y="$Y" -v W="$WIDTH" -v H="$HEIGHT" \
        'BEGIN { printf "%d %d", X + x * W / 459, Y + y * H / 297 }'
}
start_viewer
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
kill "$viewer"
wait "$viewer" 2>/dev/null || true

# The drive with the failed self-test joins the demo drives as number 7.
converted=$(mktemp -d)
"$bin/quelmaro" --from-json tests/data/selftest/failed-extended-self-test.json \
    --out "$converted" >/dev/null
cp "$converted/smart_PhysicalDrive0.ini" "$shot/smart_PhysicalDrive7.ini"
rm -rf "$converted"
start_viewer
# Its model, typed into the list, selects it; Shift+F10 opens its menu.
read -r lx ly <<<"$(at 20 20)"
xdotool mousemove "$lx" "$ly" click 1
xdotool type --delay 100 "TOLVENAR"
sleep 0.5
xdotool mousemove 5 5 key shift+F10
sleep 0.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$more/self-test-menu.png"
# Up from the first entry wraps round to the log, the last.
xdotool key Up Return
log=$(xdotool search --sync --onlyvisible --name "自己診断の記録")
sleep 1
import -window "$log" "$more/self-test-log.png"
echo "$more/self-test-menu.png and $more/self-test-log.png written"
