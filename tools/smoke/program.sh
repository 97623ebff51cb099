#!/usr/bin/env bash
# The program as a real window: started under a private X server with a window manager, driven
# with real X key and mouse events, its PLT file compared byte for byte, its windows
# photographed.
#
#   tools/smoke/program.sh PROGRAM_FOLDER [SHOTS_FOLDER [DRAG_SOURCE]]
#
# PROGRAM_FOLDER holds the built plotalon and hilfe.txt (build/app). Both are copied into a
# fresh folder with the settings of the complete example (factor 1000, HPGL 1, 45 degrees,
# prefix IN;SP1;, suffix SP0;), since the program keeps its settings beside itself. The
# screenshots go to SHOTS_FOLDER (default: ./program-shots): main.png, replace.png (the
# question before a file is replaced), quit.png (the question before unsaved edits are
# lost), vorschau.png (the preview over the main window), settings-hpgl.png, settings-folders.png, settings-nc.png, help.png, info.png, splash.png, paste.png
# (a "/C" start), drop.png (a file dropped from another program), converting.png (a
# 2,000,000-line program converting in the background, the progress bar in the status line)
# and stopped.png (a second run stopped with Esc).
#
# Besides the commands it checks: saving over a file asks once, and "Nein" keeps the file;
# quitting over an edit asks, and "Nein" keeps the program; Ctrl+S saves under the NC file's
# name and F1 opens the help; the splash stays two seconds; a "/C" start shows column 1 of
# the pasted text (its letters, red, are on screen); and, with DRAG_SOURCE (the
# smoke-drag-source helper), a file dragged through the X server's drag and drop onto the
# HPGL pane opens in the NC pane and puts no text into the HPGL pane. Without DRAG_SOURCE
# the drop is left out and said so. A program of 2,000,000 lines loads and converts in the
# background: the progress bar is seen in the status line while the run goes on, the HPGL
# pane fills once it ends, and Esc stops a second run with the HPGL pane as it was.
#
# Fails when a window never appears, the program dies or does not end when told to, or the
# saved bytes differ; exits with 77 (skipped) when the X tools are not installed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xsession.sh"

program_folder=${1:?usage: program.sh PROGRAM_FOLDER [SHOTS_FOLDER [DRAG_SOURCE]]}
shots=${2:-$PWD/program-shots}
drag_source=${3:-}
xs_require openbox xprop xclip xev pamcut ppmhist

work=$(mktemp -d)
clipboard_pid=
drag_pid=
trap '[ -n "$clipboard_pid" ] && kill "$clipboard_pid" 2>/dev/null
      [ -n "$drag_pid" ] && kill "$drag_pid" 2>/dev/null
      xs_stop; rm -rf "$work"' EXIT

# The window that has the focus once it is another than $1 (a dialog or a question over it).
other_window() {
    local i id
    for i in $(seq 50); do
        id=$(xdotool getactivewindow 2>/dev/null)
        [ -n "$id" ] && [ "$id" != "$1" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window came up over the main window"
}

# The main window has the focus again.
back_to() {
    local i
    for i in $(seq 50); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
        sleep 0.1
    done
    fail "the main window did not get the focus back"
}

# "H&PGL speichern" with a name typed into the save dialog (without its extension).
save_plt_as() {
    xs_keys "$main" alt+p
    other_window "$main" >/dev/null
    sleep 0.5
    xdotool type --delay 50 "$1"
    xdotool key Return
}

# Pixels of exactly one colour (R G B) on the screen in a rectangle (LEFT TOP WIDTH HEIGHT).
colour_count() {
    xwdtopnm "$XS_DIR/Xvfb_screen0" 2>/dev/null |
        pamcut -left "$1" -top "$2" -width "$3" -height "$4" | ppmhist -noheader |
        awk -v r="$5" -v g="$6" -v b="$7" '$1 == r && $2 == g && $3 == b { n = $NF } END { print n + 0 }'
}

# The main window's client area: sets X, Y, WIDTH, HEIGHT.
main_geometry() {
    eval "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
}

# Pixels of the progress bar's blue fill in the right half of the status line (the style
# draws it as a gradient: blue well above red); main_geometry first.
bar_pixels() {
    local bottom=$((Y + HEIGHT)) screen_height
    screen_height=$(xdotool getdisplaygeometry | cut -d' ' -f2)
    [ "$bottom" -gt "$screen_height" ] && bottom=$screen_height # the frame counted twice
    xwdtopnm "$XS_DIR/Xvfb_screen0" 2>/dev/null |
        pamcut -left $((X + WIDTH / 2)) -top $((bottom - 24)) -width $((WIDTH / 2)) -height 24 |
        ppmhist -noheader | awk '$3 > 150 && $3 > $1 + 100 { n += $NF } END { print n + 0 }'
}

# Screenshots into FILE until one shows the progress bar; fails after five seconds.
shot_with_bar() {
    local i
    for i in $(seq 50); do
        xs_screenshot "$1"
        [ "$(bar_pixels)" -gt 50 ] && return 0
        sleep 0.05
    done
    fail "no progress bar was seen in the status line"
}

# Waits until the status line shows no progress bar.
bar_gone() {
    local i
    for i in $(seq 100); do
        [ "$(bar_pixels)" = 0 ] && return 0
        sleep 0.1
    done
    fail "the progress bar stayed in the status line"
}

# The HPGL pane's text area as PNM bytes, summed up.
hpgl_pane() {
    xwdtopnm "$XS_DIR/Xvfb_screen0" 2>/dev/null |
        pamcut -left $((X + WIDTH / 2 + 90)) -top $((Y + 70)) -width 400 -height 300 | md5sum
}

cp "$program_folder/plotalon" "$program_folder/hilfe.txt" "$work/" || fail "no program in $program_folder"
mkdir -p "$work/nc" "$work/plt" "$shots"
printf '[path]\r\nnc=%s/nc\r\nhpgl=%s/plt\r\n[convert]\r\nfactor=1000\r\nxmove=0\r\nymove=0\r\ndeg=45\r\ntype=1\r\n' \
    "$work" "$work" >"$work/main.ini"
printf 'IN;SP1;' >"$work/vorspann.plt"
printf 'SP0;' >"$work/nachspann.plt"
printf 'G0 X0 Y0\nG1 Z-1\nG1 X10\nG3 X20 Y0 R5\nG0 Z5\nM30\n' >"$work/nc/teil.nc"
for i in $(seq 30); do printf 'G1 X%d Y%d\n' "$i" "$i"; done >"$work/nc/viele.nc"
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

# "&Vorschau" (Alt+V): the drawing of the HPGL pane in a window of its own over the main
# window, its strokes in pen 1's black; Alt+F4 closes it again.
xs_keys "$main" alt+v
preview=$(xs_window '^Vorschau$')
sleep 0.5
xs_screenshot "$shots/vorschau.png"
eval "$(xdotool getwindowgeometry --shell "$preview" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
ink=$(colour_count "$X" "$Y" "$WIDTH" $((HEIGHT - 30)) 0 0 0)
[ "$ink" -gt 50 ] || fail "the preview drew no strokes ($ink black pixels)"
xs_keys "$preview" alt+F4
xs_gone '^Vorschau$'
back_to "$main"

# "H&PGL speichern": the file name typed into the save dialog, without its extension.
save_plt_as ausgabe
for i in $(seq 50); do
    [ -s "$work/plt/ausgabe.plt" ] && break
    sleep 0.1
done
[ -f "$work/plt/ausgabe.plt" ] || fail "no file plt/ausgabe.plt"
sleep 0.2
[ "$(od -An -c "$work/plt/ausgabe.plt")" = "$expected" ] ||
    fail "plt/ausgabe.plt holds other bytes: $(od -An -c "$work/plt/ausgabe.plt")"

# The same name again: the program asks once before it replaces the file. Enter gives
# "Nein", which keeps the file; "Ja" replaces it, and no second question follows.
back_to "$main"
printf 'alt' >"$work/plt/ausgabe.plt"
save_plt_as ausgabe
other_window "$main" >/dev/null
sleep 0.3
xs_screenshot "$shots/replace.png"
xdotool key Return
back_to "$main"
[ "$(cat "$work/plt/ausgabe.plt")" = alt ] || fail "\"Nein\" replaced plt/ausgabe.plt"
save_plt_as ausgabe
other_window "$main" >/dev/null
sleep 0.3
xdotool key alt+j
back_to "$main"
sleep 0.2
[ "$(od -An -c "$work/plt/ausgabe.plt")" = "$expected" ] ||
    fail "\"Ja\" did not replace plt/ausgabe.plt: $(od -An -c "$work/plt/ausgabe.plt")"

# Ctrl+S: the save dialog suggests the NC file's name with .plt; Enter takes it.
xs_keys "$main" ctrl+s
other_window "$main" >/dev/null
sleep 0.5
xdotool key Return
for i in $(seq 50); do
    [ -s "$work/plt/teil.plt" ] && break
    sleep 0.1
done
[ "$(od -An -c "$work/plt/teil.plt" 2>/dev/null)" = "$expected" ] ||
    fail "Ctrl+S and Enter did not save plt/teil.plt"
back_to "$main"

# F1: the help window.
xs_keys "$main" F1
help=$(xs_window '^Hilfe$')
xs_keys "$help" alt+s
xs_gone '^Hilfe$'

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

# An edit in the NC pane: "&Beenden" asks; "Nein" keeps the program, "Ja" ends it.
back_to "$main"
xs_keys "$main" x
xs_keys "$main" alt+b
other_window "$main" >/dev/null
sleep 0.3
xs_screenshot "$shots/quit.png"
xdotool key Return
back_to "$main"
sleep 0.5
kill -0 "$XS_APP_PID" 2>/dev/null || fail "\"Nein\" ended the program"
xs_keys "$main" alt+b
other_window "$main" >/dev/null
sleep 0.3
xdotool key alt+j
xs_ends

# ---- Started without arguments: the splash, two seconds from when it is on screen ----
# The X server's own account of the windows, each line stamped as it comes: the splash
# (367 x 216) is on screen from the map of the window manager's frame around it to its unmap.
xev -root -event substructure 2>/dev/null |
    while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "$line"; done >"$work/xev.log" &
sleep 0.5
xs_launch "$work"
xs_window '^Intro$' >/dev/null
main=$(xs_window '^Plotalon 1\.1$')
sleep 0.3
xs_screenshot "$shots/splash.png"
xs_gone '^Intro$'
sleep 0.3
shown=$(awk '
    / CreateNotify event/ { event = "create"; next }
    / ReparentNotify event/ { event = "reparent"; next }
    / UnmapNotify event/ { event = "unmap"; next }
    / MapNotify event/ { event = "map"; next }
    / event, serial/ { event = ""; next }
    { if (!match($0, /window 0x[0-9a-f]+/)) next; id = substr($0, RSTART + 7, RLENGTH - 7) }
    event == "create" && /width 367, height 216/ { splash = id }
    event == "reparent" && id == splash && match($0, /parent 0x[0-9a-f]+/) {
        frame = substr($0, RSTART + 7, RLENGTH - 7) }
    event == "map" && id == frame && frame != "" && !on { on = $1 }
    event == "unmap" && id == frame && on && !off { off = $1 }
    END { if (on && off) printf "%.2f", off - on }' "$work/xev.log")
[ -n "$shown" ] || fail "the splash was not seen coming and going"
awk -v s="$shown" 'BEGIN { exit !(s >= 1.8) }' || fail "the splash was on screen for $shown s only"
echo "program.sh: the splash was on screen for $shown s"
xs_keys "$main" alt+b
xs_ends

# ---- Started with "/C": the clipboard's text from column 1 on ----
printf 'G0 X1 Y2\nG1 X3 Y4' | xclip -quiet -selection clipboard >/dev/null 2>&1 &
clipboard_pid=$!
sleep 0.3
xs_launch "$work" /C
main=$(xs_window '^Plotalon 1\.1$')
sleep 1
xs_screenshot "$shots/paste.png"
main_geometry
# The NC pane's first two rows, right of its gutter: the red address letters G, X and Y
# stand in columns 1, 4 and 7, so none is on screen when the view is scrolled.
red=$(colour_count $((X + 60)) $((Y + 62)) $((WIDTH / 2 - 100)) 40 255 0 0)
[ "$red" -gt 50 ] || fail "the pasted text is not shown from column 1 on (red pixels: $red)"
kill "$clipboard_pid" 2>/dev/null
clipboard_pid=

# ---- A file dragged from another program onto the HPGL pane ----
if [ -n "$drag_source" ]; then
    "$drag_source" "$work/nc/viele.nc" >"$work/drag.log" 2>&1 &
    drag_pid=$!
    source_window=$(xs_window '^Dateien ziehen$')
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$source_window" | grep -E '^(X|Y)=' | sed 's/^/S/')"
    xdotool mousemove $((SX + 80)) $((SY + 30))
    sleep 0.2
    xdotool mousedown 1
    sleep 0.2
    for step in $(seq 20); do # into the HPGL pane, below the source's window
        xdotool mousemove $((SX + 80 - step * 20)) $((SY + 30 + step * 15))
        sleep 0.05
    done
    sleep 0.3
    xdotool mouseup 1
    wait "$drag_pid" || fail "the program did not take the dropped file"
    drag_pid=
    sleep 0.5
    xs_screenshot "$shots/drop.png"
    # The file's 30 lines fill the NC pane far below the two pasted ones; the first rows of
    # the HPGL pane stay white (a file's URL inserted as text would stand there).
    red=$(colour_count $((X + 60)) $((Y + 150)) $((WIDTH / 2 - 100)) 400 255 0 0)
    [ "$red" -gt 500 ] || fail "the dropped file is not shown in the NC pane (red pixels: $red)"
    white=$(colour_count $((X + WIDTH / 2 + 90)) $((Y + 70)) 400 60 255 255 255)
    [ "$white" = $((400 * 60)) ] || fail "the drop put text into the HPGL pane"
else
    echo "program.sh: no drag source given, the drop of a file is not checked"
fi
xs_keys "$main" alt+b
xs_ends

# ---- 2,000,000 lines: loaded and converted in the background ----
awk 'BEGIN { for (i = 0; i < 2000000; i++)
                 if (i % 10 == 5) printf "G2 X%d Y%d R5\n", i % 1000 + 10, i % 777
                 else printf "G1 X%d Y%d\n", i % 1000, i % 777 }' >"$work/nc/gross.nc"
xs_launch "$work" nc/gross.nc
main=$(xs_window '^Plotalon 1\.1$')
main_geometry
bar_gone
xs_keys "$main" alt+h
shot_with_bar "$shots/converting.png"
bar_gone
sleep 0.3
red=$(colour_count $((X + WIDTH / 2 + 60)) $((Y + 62)) $((WIDTH / 2 - 100)) 400 255 0 0)
[ "$red" -gt 500 ] || fail "the HPGL pane is empty after the conversion (red pixels: $red)"
converted=$(hpgl_pane)
xs_keys "$main" alt+h
shot_with_bar "$work/stopping.png"
xdotool key Escape
bar_gone
sleep 0.3
xs_screenshot "$shots/stopped.png"
[ "$(hpgl_pane)" = "$converted" ] || fail "Esc did not leave the HPGL pane as it was"
xs_keys "$main" alt+b
xs_ends

echo "program.sh: all steps passed; screenshots in $shots"
