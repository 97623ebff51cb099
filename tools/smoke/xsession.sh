#!/usr/bin/env bash
# Shared steps of the real-window checks: a private X server (Xvfb), a small window manager,
# real X events through xdotool, and screenshots as PNG. Sourced by the check scripts beside
# it.
#
#   xs_start                 starts Xvfb on a display it picks itself and exports DISPLAY
#   xs_start_wm              starts openbox on it and waits until it manages windows, so that
#                            windows get frames, are maximised and activated as on a desktop
#   xs_wait_window NAME [S]  waits up to S seconds (10) for a visible window whose title
#                            matches NAME; prints its id
#   xs_screenshot FILE       writes the whole screen as PNG
#   xs_stop                  ends the window manager and the server (also run on exit)
#   xs_require [TOOL...]     exits with 77 unless the tools above (and these) are installed
# Exit code 77 tells CTest that the check was skipped because its tools are missing.

xs_require() {
    local tool
    for tool in Xvfb xdotool xwdtopnm pnmtopng "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "skipped: $tool is not installed" >&2
            exit 77
        fi
    done
}

XS_PID=
XS_WM_PID=
XS_DIR=
xs_start() {
    xs_require
    XS_DIR=$(mktemp -d)
    trap xs_stop EXIT
    # The server picks a free display and writes its number once it accepts connections, so
    # that two checks (or another developer's) never meet on one display.
    Xvfb -displayfd 3 -screen 0 "${XS_SCREEN:-1280x1024x24}" -fbdir "$XS_DIR" -nolisten tcp \
        3>"$XS_DIR/display" >"$XS_DIR/xvfb.log" 2>&1 &
    XS_PID=$!
    local i
    for i in $(seq 100); do
        if [ -s "$XS_DIR/display" ]; then
            export DISPLAY=":$(tr -d '[:space:]' <"$XS_DIR/display")"
            return 0
        fi
        kill -0 "$XS_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "no X server could be started:" >&2
    cat "$XS_DIR/xvfb.log" >&2
    return 1
}

xs_start_wm() {
    xs_require openbox xprop
    openbox --sm-disable >"$XS_DIR/openbox.log" 2>&1 &
    XS_WM_PID=$!
    local i
    for i in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        kill -0 "$XS_WM_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "the window manager did not start:" >&2
    cat "$XS_DIR/openbox.log" >&2
    return 1
}

xs_stop() {
    [ -n "$XS_WM_PID" ] && kill "$XS_WM_PID" 2>/dev/null && wait "$XS_WM_PID" 2>/dev/null
    [ -n "$XS_PID" ] && kill "$XS_PID" 2>/dev/null && wait "$XS_PID" 2>/dev/null
    [ -n "$XS_DIR" ] && rm -rf "$XS_DIR"
    XS_WM_PID=
    XS_PID=
    XS_DIR=
}

xs_wait_window() {
    local name=$1 seconds=${2:-10} i id
    for i in $(seq $((seconds * 10))); do
        id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

xs_screenshot() {
    # Read from the server's framebuffer, which -fbdir keeps as a file in XWD form: a GetImage
    # of the root reads black under Xvfb where a window was mapped over another one.
    xwdtopnm "$XS_DIR/Xvfb_screen0" 2>/dev/null | pnmtopng >"$1" 2>/dev/null
}
