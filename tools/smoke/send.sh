#!/usr/bin/env bash
# Sending to a plotter from the program as a real window: started under a private X server
# with a window manager and driven with real X key events, the program converts the complete
# example and sends it to the simulated plotter on a pseudo-terminal, once through the menu
# ("Datei" > "An Plotter senden ...") under XON/XOFF and once with Ctrl+P under the buffer
# query; what the plotter received must equal the HPGL as the PLT save writes it, byte for
# byte, with no byte lost.
#
#   tools/smoke/send.sh PROGRAM_FOLDER PLOTTER_SIM [SHOTS_FOLDER]
#
# PROGRAM_FOLDER holds the built plotalon and hilfe.txt (build/app), PLOTTER_SIM is the built
# plotalon-plotter-sim. The screenshots go to SHOTS_FOLDER (default: ./send-shots):
# settings-plotter.png (the settings dialog's page "Plotter" with the simulator's port),
# send.png (the progress window after the send through the menu) and send-query.png (after
# the one with Ctrl+P).
#
# Fails when a window never appears, the program dies or does not end when told to, the
# plotter receives other bytes or loses any; exits with 77 (skipped) when the X tools are
# not installed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xsession.sh"
. "$here/plotter.sh"

program_folder=${1:?usage: send.sh PROGRAM_FOLDER PLOTTER_SIM [SHOTS_FOLDER]}
PLOTTER_TOOL=${2:?usage: send.sh PROGRAM_FOLDER PLOTTER_SIM [SHOTS_FOLDER]}
shots=${3:-$PWD/send-shots}
xs_require openbox xprop python3

work=$(mktemp -d)
trap '[ -n "$PLOTTER_PID" ] && kill "$PLOTTER_PID" 2>/dev/null
      xs_stop; rm -rf "$work"' EXIT

cp "$program_folder/plotalon" "$program_folder/hilfe.txt" "$work/" || fail "no program in $program_folder"
mkdir -p "$work/nc" "$work/plotter" "$shots"
printf 'IN;SP1;' >"$work/vorspann.plt"
printf 'SP0;' >"$work/nachspann.plt"
printf 'G0 X0 Y0\nG1 Z-1\nG1 X10\nG3 X20 Y0 R5\nG0 Z5\nM30\n' >"$work/nc/teil.nc"
printf 'IN;SP1;\r\nPU0,0;\r\nPD;\r\nPA10000,0;\r\nPA11464,-3536;\r\nPA15000,-5000;\r\nPA18536,-3536;\r\nPA20000,0;\r\nSP0;\r\n' \
    >"$work/expected.plt"

# The settings of the complete example, with the plotter on the simulator's device under the
# handshake $1. The program reads the section "plotter" at every send.
settings() {
    printf '[path]\r\nnc=%s/nc\r\nhpgl=%s\r\n[convert]\r\nfactor=1000\r\nxmove=0\r\nymove=0\r\ndeg=45\r\ntype=1\r\n' \
        "$work" "$work" >"$work/main.ini"
    printf '[plotter]\r\nport=%s\r\nbaud=230400\r\nhandshake=%s\r\n' "$PLOTTER_DEVICE" "$1" >>"$work/main.ini"
}

# Waits for the progress window, then for the simulated plotter, which ends half a second
# after the last byte; photographs the window and closes it with Escape. $1: the screenshot.
await_send() {
    local window
    window=$(xs_window '^An Plotter senden$')
    plotter_end || fail "the simulated plotter lost bytes: $(cat "$PLOTTER_WORK/report.txt")"
    PLOTTER_PID=
    sleep 0.5
    xs_screenshot "$1"
    xs_keys "$window" Escape
    xs_gone '^An Plotter senden$'
}

# What the plotter took in (its buffer queries left out) against the PLT file's bytes.
compare_received() {
    plotter_received >"$work/received.plt"
    cmp -s "$work/received.plt" "$work/expected.plt" ||
        fail "under $1 the plotter received other bytes: $(od -An -c "$work/received.plt")"
    [ "$(plotter_figure Überläufe)" = 0 ] || fail "under $1 the plotter counted overflows"
}

export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME
plotter_start "$work/plotter" --xonxoff || fail "the simulated plotter did not start"
settings xonxoff
xs_start || fail "no X server"
xs_start_wm || fail "no window manager"

xs_launch "$work" nc/teil.nc
main=$(xs_window '^Plotalon 1\.1$')
sleep 0.5
xs_keys "$main" alt+h
sleep 0.3

# The page "Plotter" shows the port the send will take.
xs_keys "$main" alt+e
dialog=$(xs_window '^Einstellungen$')
xs_keys "$dialog" alt+l
sleep 0.3
xs_screenshot "$shots/settings-plotter.png"
xs_keys "$dialog" alt+a
xs_gone '^Einstellungen$'

# "&Datei" > "An &Plotter senden ...", by its keys.
xs_keys "$main" alt+d
sleep 0.3
xdotool key p
await_send "$shots/send.png"
compare_received xonxoff

# Ctrl+P, to a fresh plotter asked for its free buffer before every block.
plotter_start "$work/plotter" || fail "the simulated plotter did not start again"
settings query
xs_keys "$main" ctrl+p
await_send "$shots/send-query.png"
compare_received query

xs_keys "$main" alt+b
xs_ends
echo "send.sh: the complete example reached the simulated plotter byte for byte from the menu and with Ctrl+P; screenshots in $shots"
