#!/usr/bin/env bash
# The installed program: `cmake --install` into a fresh prefix, then the programs started
# through the prefix's bin links from another folder. They must find hilfe.txt and keep the
# settings files beside themselves, in PREFIX/lib/plotalon, never in the folder they were
# started from. The install manifest lists every file and link the install made, also for a
# staged install (DESTDIR), as packagers and uninstall scripts use it.
#
#   tools/smoke/install.sh BUILD_FOLDER [SHOTS_FOLDER]
#
# Writes install-help.png (the help window of the installed program) into SHOTS_FOLDER
# (default: ./install-shots). Exits with 77 (skipped) when the X tools are not installed; the
# checks of what is installed where run before that.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xsession.sh"

build=${1:?usage: install.sh BUILD_FOLDER [SHOTS_FOLDER]}
shots=${2:-$PWD/install-shots}

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
    share/applications/plotalon.desktop share/icons/hicolor/scalable/apps/plotalon.svg; do
    [ -e "$prefix/$f" ] || fail "nothing installed as $f"
done
grep -qxF "Exec=\"$folder/plotalon\" %f" "$prefix/share/applications/plotalon.desktop" ||
    fail "the desktop entry does not start $folder/plotalon"

grep -q '^factor=40' "$folder/main.ini" && grep -q '^ncmode=1' "$folder/main.ini" ||
    fail "no starting settings installed"
for f in bin/plotalon bin/plotalon-convert bin/plotalon-view; do
    [ "$(readlink "$prefix/$f")" = "../lib/plotalon/${f#bin/}" ] || fail "$f is no link into lib/plotalon"
done
# The sizes are drawn by the build where it has Qt's SVG module.
if [ -x "$build/tools/icon/plotalon-icon" ]; then
    for size in 16x16 32x32 48x48 64x64 128x128 256x256; do
        [ -f "$prefix/share/icons/hicolor/$size/apps/plotalon.png" ] || fail "no $size icon"
    done
fi

# ---- The manifest: exactly what was installed, links included ----
# check_manifest ROOT PREFIX: every file and link under ROOT/PREFIX is listed as PREFIX/...,
# and every listed name exists.
check_manifest() {
    local root=$1 at=$2 manifest=$build/install_manifest.txt
    [ -s "$manifest" ] || fail "no install manifest"
    (cd "$root" && find ".$at" \( -type f -o -type l \) | sed 's/^\.//' | sort) >"$work/installed"
    sort "$manifest" >"$work/listed"
    diff "$work/listed" "$work/installed" >"$work/manifest.diff" ||
        fail "the manifest does not match what was installed (< listed only, > installed only):
$(cat "$work/manifest.diff")"
}
check_manifest / "$prefix"

# ---- A staged install, as a package build makes it: everything under DESTDIR ----
stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /opt/plotalon >"$work/install.log" 2>&1 ||
    fail "cmake --install with DESTDIR failed: $(cat "$work/install.log")"
stray=$(cd "$stage" && find . -mindepth 1 -maxdepth 1 ! -name opt)
[ -z "$stray" ] || fail "the staged install wrote outside DESTDIR/opt: $stray"
[ -f "$stage/opt/plotalon/lib/plotalon/main.ini" ] || fail "no starting settings in the staged install"
grep -qxF 'Exec="/opt/plotalon/lib/plotalon/plotalon" %f' \
    "$stage/opt/plotalon/share/applications/plotalon.desktop" ||
    fail "the staged desktop entry does not name the final place of the program"
check_manifest "$stage" /opt/plotalon

# ---- The converter reads the settings beside itself ----
printf '[convert]\r\nfactor=2\r\ntype=1\r\ndeg=45\r\n' >"$folder/main.ini"
printf 'G0 X1 Y3\n' >"$elsewhere/teil.nc"
out=$(cd "$elsewhere" && "$prefix/bin/plotalon-convert" teil.nc 2>/dev/null) ||
    fail "plotalon-convert failed"
[ "$out" = $'PU2,6;\r' ] || fail "plotalon-convert ignored the settings beside it: $out"
rm "$folder/main.ini"

# ---- The program: its help file, and its settings saved beside it ----
xs_require openbox xprop pamsumm pnmcut
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
