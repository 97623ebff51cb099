#!/usr/bin/env bash
# Shared steps of the real-window checks: a private X server (Xvfb), real X events through
# xdotool, and screenshots as PNG. Sourced by the check scripts beside it.
#
#   xs_start                 starts Xvfb on a free display and exports DISPLAY
#   xs_wait_window NAME [S]  waits up to S seconds (10) for a visible window whose title
#                            matches NAME; prints its id
#   xs_screenshot FILE       writes the whole screen as PNG
#   xs_stop                  ends the server (also run on exit)
# Exit code 77 tells CTest that the check was skipped because its tools are missing.

xs_require() {
    local tool
    for tool in Xvfb xdotool xwd xwdtopnm pnmtopng; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "skipped: $tool is not installed" >&2
            exit 77
        fi
    done
}

XS_PID=
xs_start() {
    xs_require
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "${XS_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
        XS_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 50); do
            xdotool getdisplaygeometry >/dev/null 2>&1 && { trap xs_stop EXIT; return 0; }
            kill -0 "$XS_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$XS_PID" 2>/dev/null
        XS_PID=
    done
    echo "no X server could be started" >&2
    return 1
}

xs_stop() {
    [ -n "$XS_PID" ] && kill "$XS_PID" 2>/dev/null && wait "$XS_PID" 2>/dev/null
    XS_PID=
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
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$1"
}
