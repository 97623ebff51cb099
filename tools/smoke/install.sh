#!/usr/bin/env bash
# The installed program: `cmake --install` into a fresh prefix, then the programs started
# through the prefix's bin links from another folder. They must find hilfe.txt and keep the
# settings files beside themselves, in PREFIX/lib/plotalon, never in the folder they were
# started from.
#
#   tools/smoke/install.sh BUILD_FOLDER [SHOTS_FOLDER]
#
# Writes install-help.png (the help window of the installed program) into SHOTS_FOLDER
# (default: ./install-shots). Exits with 77 (skipped) when the X tools are not installed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xsession.sh"

build=${1:?usage: install.sh BUILD_FOLDER [SHOTS_FOLDER]}
shots=${2:-$PWD/install-shots}
xs_require openbox xprop pamsumm pnmcut

work=$(mktemp -d)
trap 'xs_stop; rm -rf "$work"' EXIT
prefix=$work/prefix
folder=$prefix/lib/plotalon
elsewhere=$work/elsewhere
mkdir -p "$elsewhere" "$shots"

# ---- What lands where ----
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    fail "cmake --install failed: $(cat "$work/install.log")"
for f in lib/plotalon/plotalon lib/plotalon/plotalon-convert lib/plotalon/plotalon-view \
    lib/plotalon/hilfe.txt bin/plotalon bin/plotalon-convert bin/plotalon-view \
    lib/plotalon/plotalon-send bin/plotalon-send bin/plotalon-plotter-sim \
    share/applications/plotalon.desktop share/icons/hicolor/32x32/apps/plotalon.png; do
    [ -e "$prefix/$f" ] || fail "nothing installed as $f"
done
grep -qxF "Exec=\"$folder/plotalon\" %f" "$prefix/share/applications/plotalon.desktop" ||
    fail "the desktop entry does not start $folder/plotalon"

grep -q '^factor=1000' "$folder/main.ini" || fail "no starting settings installed"

# ---- The converter reads the settings beside itself ----
printf '[convert]\r\nfactor=2\r\ntype=1\r\ndeg=45\r\n' >"$folder/main.ini"
printf 'G0 X1 Y3\n' >"$elsewhere/teil.nc"
out=$(cd "$elsewhere" && "$prefix/bin/plotalon-convert" teil.nc 2>/dev/null) ||
    fail "plotalon-convert failed"
[ "$out" = $'PU2,6;\r' ] || fail "plotalon-convert ignored the settings beside it: $out"
rm "$folder/main.ini"

# ---- The program: its help file, and its settings saved beside it ----
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME
xs_start || fail "no X server"
xs_start_wm || fail "no window manager"
XS_PROGRAM=$prefix/bin/plotalon xs_launch "$elsewhere" teil.nc
main=$(xs_window '^Plotalon 1\.1$')
xs_keys "$main" alt+e
settings=$(xs_window '^Einstellungen$')
sleep 0.3
xdotool mousemove --window "$settings" 266 313 click 1 # the middle of "&Hilfe"
help=$(xs_window '^Hilfe$')
sleep 0.3
xs_screenshot "$shots/install-help.png"
# The help text is black on white: without hilfe.txt its text area would be white throughout.
eval "$(xdotool getwindowgeometry --shell "$help")"
mean=$(xwdtopnm "$XS_DIR/Xvfb_screen0" 2>/dev/null |
    pnmcut -left $((X + 4)) -top $((Y + 4)) -width 300 -height 120 | pamsumm -mean -brief)
[ "${mean%%.*}" -lt 250 ] || fail "the help window shows no text (mean brightness $mean)"
xs_keys "$help" alt+s
xs_gone '^Hilfe$'
xs_keys "$settings" alt+s
xs_gone '^Einstellungen$'
for f in main.ini vorspann.plt nachspann.plt; do
    [ -f "$folder/$f" ] || fail "the settings were not saved beside the program: no $f"
    [ -e "$elsewhere/$f" ] && fail "$f was written into the folder the program was started from"
done
xs_keys "$main" alt+b
xs_ends

# ---- Reinstalling keeps what the user saved ----
printf '[convert]\r\nfactor=7\r\n' >"$folder/main.ini"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "reinstalling failed"
grep -q '^factor=7' "$folder/main.ini" || fail "reinstalling replaced the user's settings"

echo "install.sh: all steps passed; screenshot in $shots"
