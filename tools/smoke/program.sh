#!/usr/bin/env bash
# The program as a real window: started under a private X server with a window manager, driven
# with real X key and mouse events, its PLT file compared byte for byte, its windows
# photographed.
#
#   tools/smoke/program.sh PROGRAM_FOLDER [SHOTS_FOLDER]
#
# PROGRAM_FOLDER holds the built plotalon and hilfe.txt (build/app). Both are copied into a
# fresh folder with the settings of the complete example (factor 1000, HPGL 1, 45 degrees,
# prefix IN;SP1;, suffix SP0;), since the program keeps its settings beside itself. The
# screenshots go to SHOTS_FOLDER (default: ./program-shots): main.png, settings-hpgl.png,
# settings-folders.png, settings-nc.png, help.png, info.png, splash.png.
#
# Fails when a window never appears, the program dies or does not end when told to, or the
# saved bytes differ; exits with 77 (skipped) when the X tools are not installed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xsession.sh"

program_folder=${1:?usage: program.sh PROGRAM_FOLDER [SHOTS_FOLDER]}
shots=${2:-$PWD/program-shots}
xs_require openbox xprop

work=$(mktemp -d)
trap 'xs_stop; rm -rf "$work"' EXIT

cp "$program_folder/plotalon" "$program_folder/hilfe.txt" "$work/" || fail "no program in $program_folder"
mkdir -p "$work/nc" "$work/plt" "$shots"
printf '[path]\r\nnc=%s/nc\r\nhpgl=%s/plt\r\n[convert]\r\nfactor=1000\r\nxmove=0\r\nymove=0\r\ndeg=45\r\ntype=1\r\n' \
    "$work" "$work" >"$work/main.ini"
printf 'IN;SP1;' >"$work/vorspann.plt"
printf 'SP0;' >"$work/nachspann.plt"
printf 'G0 X0 Y0\nG1 Z-1\nG1 X10\nG3 X20 Y0 R5\nG0 Z5\nM30\n' >"$work/nc/teil.nc"
expected=$(printf 'IN;SP1;\r\nPU0,0;\r\nPD;\r\nPA10000,0;\r\nPA11464,-3536;\r\nPA15000,-5000;\r\nPA18536,-3536;\r\nPA20000,0;\r\nSP0;\r\n' | od -An -c)

export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME
xs_start || fail "no X server"
xs_start_wm || fail "no window manager"

# ---- Started with an NC file: convert, save, the dialogs ----
xs_launch "$work" nc/teil.nc
main=$(xs_window '^Plotalon 1\.1$')
sleep 0.5
screen_width=$(xdotool getdisplaygeometry | cut -d' ' -f1)
width=$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^WIDTH=//p')
[ "$width" = "$screen_width" ] || fail "the main window is $width pixels wide, not maximised"

xs_keys "$main" alt+h
sleep 0.5
xs_screenshot "$shots/main.png"

# "H&PGL speichern": the file name typed into the save dialog, without its extension.
xs_keys "$main" alt+p
for i in $(seq 50); do
    dialog=$(xdotool getactivewindow 2>/dev/null)
    [ -n "$dialog" ] && [ "$dialog" != "$main" ] && break
    sleep 0.1
done
[ "$dialog" != "$main" ] || fail "no save dialog"
sleep 0.5
xdotool type --delay 50 ausgabe
xdotool key Return
for i in $(seq 50); do
    [ -s "$work/plt/ausgabe.plt" ] && break
    sleep 0.1
done
[ -f "$work/plt/ausgabe.plt" ] || fail "no file plt/ausgabe.plt"
sleep 0.2
[ "$(od -An -c "$work/plt/ausgabe.plt")" = "$expected" ] ||
    fail "plt/ausgabe.plt holds other bytes: $(od -An -c "$work/plt/ausgabe.plt")"

# "&Einstellungen", both pages, and the help window from its "&Hilfe" button.
xs_keys "$main" alt+e
settings=$(xs_window '^Einstellungen$')
sleep 0.3
xs_screenshot "$shots/settings-hpgl.png"
xs_keys "$settings" alt+v
sleep 0.3
xs_screenshot "$shots/settings-folders.png"
xs_keys "$settings" alt+n
sleep 0.3
xs_screenshot "$shots/settings-nc.png"
xdotool mousemove --window "$settings" 266 313 click 1 # the middle of "&Hilfe"
help=$(xs_window '^Hilfe$')
sleep 0.3
xs_screenshot "$shots/help.png"
xs_keys "$help" alt+s
xs_gone '^Hilfe$'
xs_keys "$settings" alt+a
xs_gone '^Einstellungen$'

# "&Info".
xs_keys "$main" alt+i
info=$(xs_window '^Info $')
sleep 0.3
xs_screenshot "$shots/info.png"
xs_keys "$info" alt+s
xs_gone '^Info $'

# "&Beenden" ends the program.
xs_keys "$main" alt+b
xs_ends

# ---- Started without arguments: the splash, gone after two seconds ----
xs_launch "$work"
xs_window '^Intro$' >/dev/null
main=$(xs_window '^Plotalon 1\.1$')
sleep 0.3
xs_screenshot "$shots/splash.png"
xs_gone '^Intro$'
xs_keys "$main" alt+b
xs_ends

echo "program.sh: all steps passed; screenshots in $shots"
