#!/usr/bin/env bash
# Shared steps of the real-window checks: a private X server (Xvfb), a small window manager,
# real X events through xdotool, and screenshots as PNG. Sourced by the check scripts beside
# it.
#
#   xs_start                 starts Xvfb on a display it picks itself and exports DISPLAY
#   xs_start_wm              starts openbox on it and waits until it manages windows, so that
#                            windows get frames, are maximised and activated as on a desktop
#   xs_screenshot FILE       writes the whole screen as PNG
#   xs_stop                  ends the program, the window manager and the server: call it
#                            from the script's exit trap
#   xs_require [TOOL...]     exits with 77 unless the tools above (and these) are installed
#
# Driving the program (one at a time):
#   xs_launch DIR [ARGS...]  starts DIR/plotalon from DIR, as a user starts it there (any
#                            executable named by XS_PROGRAM instead: it is run from DIR)
#   xs_window NAME           waits for its window while the program lives; prints its id
#   xs_keys WINDOW KEY...    real key events to the window, once it has the focus
#   xs_gone NAME             waits until no window of that title is visible
#   xs_ends                  the program ends within five seconds, with exit code 0
#   fail TEXT                ends the check as failed, with the program's output
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
XS_APP_PID=
XS_APP_LOG=
XS_DIR=
xs_start() {
    xs_require
    XS_DIR=$(mktemp -d)
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
    [ -n "$XS_APP_PID" ] && kill "$XS_APP_PID" 2>/dev/null
    XS_APP_PID=
    [ -n "$XS_WM_PID" ] && kill "$XS_WM_PID" 2>/dev/null && wait "$XS_WM_PID" 2>/dev/null
    [ -n "$XS_PID" ] && kill "$XS_PID" 2>/dev/null && wait "$XS_PID" 2>/dev/null
    [ -n "$XS_DIR" ] && rm -rf "$XS_DIR"
    XS_WM_PID=
    XS_PID=
    XS_DIR=
}

xs_screenshot() {
    # Read from the server's framebuffer, which -fbdir keeps as a file in XWD form: a GetImage
    # of the root reads black under Xvfb where a window was mapped over another one.
    xwdtopnm "$XS_DIR/Xvfb_screen0" 2>/dev/null | pnmtopng >"$1" 2>/dev/null
}

fail() {
    echo "FAILED: $*" >&2
    [ -n "$XS_APP_LOG" ] && [ -s "$XS_APP_LOG" ] && sed 's/^/  program: /' "$XS_APP_LOG" >&2
    exit 1
}

xs_launch() {
    local dir=$1
    shift
    XS_APP_LOG="$XS_DIR/program.log"
    (cd "$dir" && exec "${XS_PROGRAM:-./plotalon}" "$@") >"$XS_APP_LOG" 2>&1 &
    XS_APP_PID=$!
}

xs_window() {
    local i id
    for i in $(seq 100); do
        kill -0 "$XS_APP_PID" 2>/dev/null || fail "the program died waiting for \"$1\""
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window \"$1\""
}

xs_keys() {
    local id=$1
    shift
    xdotool windowactivate --sync "$id" >/dev/null 2>&1
    xdotool key --delay 50 "$@"
}

xs_gone() {
    local i
    for i in $(seq 50); do
        [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    fail "window \"$1\" stayed open"
}

xs_ends() {
    local i
    for i in $(seq 50); do
        if ! kill -0 "$XS_APP_PID" 2>/dev/null; then
            wait "$XS_APP_PID" || fail "the program ended with exit code $?"
            XS_APP_PID=
            return 0
        fi
        sleep 0.1
    done
    fail "the program did not end"
}
