#!/usr/bin/env bash
# The plot preview as a real window: a real NC program (the flange of the converter's tests)
# converted by plotalon-convert, its PLT file shown by `plotalon-view --plot` under a private X
# server, and the screen photographed; then the wheel zooms in about the pointer and Home fits
# the drawing again, each photographed too.
#
#   tools/smoke/preview.sh BUILD_FOLDER NC_FILE [SHOTS_FOLDER]
#
# Writes preview.png, preview-zoomed.png and preview-fitted.png into SHOTS_FOLDER (default:
# ./preview-shots). Exits with 77 (skipped)
# when the X tools are not installed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xsession.sh"

build=${1:?usage: preview.sh BUILD_FOLDER NC_FILE [SHOTS_FOLDER]}
nc=${2:?usage: preview.sh BUILD_FOLDER NC_FILE [SHOTS_FOLDER]}
shots=${3:-$PWD/preview-shots}
xs_require openbox xprop

work=$(mktemp -d)
trap 'xs_stop; rm -rf "$work"' EXIT
mkdir -p "$shots"

# Scale 40 makes one NC millimetre one plotter millimetre; arcs every 5 degrees.
"$build/tools/convert/plotalon-convert" --settings "$work" --factor 40 --type 1 --deg 5 \
    -o "$work/flange.plt" "$nc" 2>"$work/convert.log" ||
    fail "plotalon-convert failed: $(cat "$work/convert.log")"

export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME
xs_start || fail "no X server"
xs_start_wm || fail "no window manager"
XS_PROGRAM=$build/tools/view/plotalon-view xs_launch "$work" --plot flange.plt
id=$(xs_window 'flange\.plt')
xdotool windowactivate --sync "$id" >/dev/null 2>&1
# The pointer between the left circle and the slot: the point the zoom keeps in place.
eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool mousemove --sync $((X + WIDTH * 33 / 100)) $((Y + HEIGHT * 45 / 100))
sleep 0.5
xs_screenshot "$shots/preview.png"
xdotool click --repeat 4 --delay 80 4
sleep 0.5
xs_screenshot "$shots/preview-zoomed.png"
cmp -s "$shots/preview.png" "$shots/preview-zoomed.png" && fail "the wheel did not zoom"
xdotool key --delay 50 Home
sleep 0.5
xs_screenshot "$shots/preview-fitted.png"
cmp -s "$shots/preview.png" "$shots/preview-fitted.png" || fail "Home did not fit the drawing again"
echo "preview.sh: the preview window came up, zoomed and fitted; screenshots in $shots"
