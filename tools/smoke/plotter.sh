#!/usr/bin/env bash
# The simulated plotter for the checks: sourced, it offers
#
#   plotter_start WORK [OPTION...]  starts plotalon-plotter-sim with a 1 KiB buffer that
#                                   receives at 1,000,000 baud and draws 80,000 bytes a second,
#                                   recording into WORK/record.plt and reporting into
#                                   WORK/report.txt; ends half a second after the last byte
#                                   (it waits as long as it takes for the first).
#                                   Sets PLOTTER_DEVICE to its pseudo-terminal.
#   plotter_end                     waits for its end; its exit code (1: bytes were lost)
#   plotter_figure NAME             a figure of its report ("Überläufe", "Empfangen" ...)
#   plotter_received                the bytes it took in, without its ESC.B queries, on stdout
#
# Run as a script, `tools/smoke/plotter.sh BUILD` converts the complete example with
# plotalon-convert and sends it with plotalon-send under each handshake a pseudo-terminal
# carries, comparing what the plotter received byte for byte.
set -u

PLOTTER_PID=
PLOTTER_DEVICE=
PLOTTER_WORK=
PLOTTER_TOOL=${PLOTTER_TOOL:-plotalon-plotter-sim}

plotter_start() {
    PLOTTER_WORK=$1
    shift
    rm -f "$PLOTTER_WORK/plotter.out" "$PLOTTER_WORK/record.plt" "$PLOTTER_WORK/report.txt"
    "$PLOTTER_TOOL" --buffer 1024 --baud 1000000 --drain 80000 --idle-exit 0.5 --xoff 512 --xon 768 \
        --record "$PLOTTER_WORK/record.plt" --report "$PLOTTER_WORK/report.txt" "$@" \
        >"$PLOTTER_WORK/plotter.out" 2>"$PLOTTER_WORK/plotter.err" &
    PLOTTER_PID=$!
    local i
    for i in $(seq 50); do
        PLOTTER_DEVICE=$(head -n 1 "$PLOTTER_WORK/plotter.out" 2>/dev/null)
        [ -n "$PLOTTER_DEVICE" ] && return 0
        sleep 0.1
    done
    echo "the simulated plotter did not start:" >&2
    cat "$PLOTTER_WORK/plotter.err" >&2
    return 1
}

plotter_end() {
    wait "$PLOTTER_PID"
}

plotter_figure() {
    sed -n "s/^$1: \([0-9]*\).*/\1/p" "$PLOTTER_WORK/report.txt"
}

plotter_received() {
    python3 -c 'import sys; sys.stdout.buffer.write(open(sys.argv[1], "rb").read().replace(b"\x1b.B", b""))' \
        "$PLOTTER_WORK/record.plt"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    build=${1:?usage: plotter.sh BUILD}
    PLOTTER_TOOL=$build/tools/plottersim/plotalon-plotter-sim
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    printf '[convert]\r\nfactor=1000\r\nxmove=0\r\nymove=0\r\ndeg=45\r\ntype=1\r\n' >"$work/main.ini"
    printf 'IN;SP1;' >"$work/vorspann.plt"
    printf 'SP0;' >"$work/nachspann.plt"
    printf 'G0 X0 Y0\nG1 Z-1\nG1 X10\nG3 X20 Y0 R5\nG0 Z5\nM30\n' >"$work/teil.nc"
    "$build/tools/convert/plotalon-convert" --settings "$work" -o "$work/teil.plt" "$work/teil.nc" 2>/dev/null ||
        { echo "FAILED: plotalon-convert" >&2; exit 1; }
    for handshake in xonxoff query; do
        plotter_start "$work" $([ $handshake = xonxoff ] && echo --xonxoff) || exit 1
        "$build/tools/send/plotalon-send" --port "$PLOTTER_DEVICE" --baud 1000000 \
            --handshake $handshake "$work/teil.plt" >/dev/null ||
            { echo "FAILED: plotalon-send under $handshake" >&2; exit 1; }
        plotter_end || { echo "FAILED: bytes lost under $handshake" >&2; exit 1; }
        plotter_received | cmp -s - "$work/teil.plt" ||
            { echo "FAILED: the plotter received other bytes under $handshake" >&2; exit 1; }
        [ "$(plotter_figure Überläufe)" = 0 ] || { echo "FAILED: overflows" >&2; exit 1; }
    done
    echo "the complete example reached the simulated plotter byte for byte"
fi
