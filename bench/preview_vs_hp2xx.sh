#!/usr/bin/env bash
# CPU time (user + system) of plotalon-view drawing HPGL files, as PNG (--plot F --png) and
# in the preview window (reading and first drawing, bench_preview_view --files), beside hp2xx
# drawing the same files at about the same picture size (-m png -d 150: 200 mm at 150 dpi,
# about 1180 pixels; ours 1200). hp2xx is a yardstick only; without it its column says so.
#
# Usage: bench/preview_vs_hp2xx.sh [BUILD_DIR] [FILES_DIR]
#
# The files are made once in FILES_DIR (default: /tmp/plotalon-preview-bench) and kept:
#   big-10deg.plt     the 1,000,000-block benchmark program (bench_engine --generate) converted
#                     by plotalon-convert at factor 40, HPGL 1, arcs every 10 degrees
#   big-1deg.plt      the same with arcs every degree (the converter's default without
#                     settings), about 10 million lines
#   squares.plt       50,000 one-unit squares on one spot: a drawing far smaller than a
#                     millimetre, magnified to fill the picture
#   small-circles.plt 4,000 circles of 10 units radius (36 chords each) on a grid of 5 units,
#                     8 mm across, magnified
#   big-circles.plt   1,000,000 circles of 100 mm radius (36 chords each) on one centre: the
#                     picture's size, drawn over and over
#   tiny.plt          10,000,000 relative moves of one unit round a one-unit square
# hp2xx gets at most HP2XX_LIMIT seconds (default 600) a file.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
files=${2:-/tmp/plotalon-preview-bench}
limit=${HP2XX_LIMIT:-600}
mkdir -p "$files"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_file() { # NAME: writes it unless it is there
    local out=$files/$1
    [ -s "$out" ] && return 0
    echo "making $1 ..." >&2
    case $1 in
    big-10deg.plt | big-1deg.plt)
        [ -s "$files/big.nc" ] || "$build/bench/bench_engine" --generate "$files/big.nc" 1000000
        printf 'IN;SP1;\r\n' >"$work/pre.plt"
        printf 'SP0;\r\n' >"$work/suf.plt"
        local deg=10
        [ "$1" = big-1deg.plt ] && deg=1
        "$build/tools/convert/plotalon-convert" --settings "$work" --factor 40 --type 1 \
            --deg "$deg" --prefix "$work/pre.plt" --suffix "$work/suf.plt" -o "$out.part" \
            "$files/big.nc" 2>/dev/null
        ;;
    squares.plt)
        awk 'BEGIN { print "IN;SP1;"; for (i = 0; i < 50000; i++)
                 printf "PU0,0;\nPD;\nPA1,0;\nPA1,1;\nPA0,1;\nPA0,0;\n"; print "SP0;" }' >"$out.part"
        ;;
    small-circles.plt)
        awk 'BEGIN { print "IN;SP1;"; pi = atan2(0, -1)
                 for (i = 0; i < 4000; i++) { cx = (i % 64) * 5; cy = int(i / 64) * 5
                     printf "PU%d,%d;\nPD;\n", cx + 10, cy
                     for (k = 1; k <= 36; k++) printf "PA%d,%d;\n",
                         cx + sprintf("%.0f", 10 * cos(k * pi / 18)),
                         cy + sprintf("%.0f", 10 * sin(k * pi / 18)) }
                 print "SP0;" }' >"$out.part"
        ;;
    big-circles.plt)
        awk 'BEGIN { print "IN;SP1;"; pi = atan2(0, -1)
                 for (k = 1; k <= 36; k++)
                     chord = chord sprintf("PA%.0f,%.0f;\n", 4000 + 4000 * cos(k * pi / 18),
                                           4000 + 4000 * sin(k * pi / 18))
                 for (i = 0; i < 1000000; i++) printf "PU8000,4000;\nPD;\n%s", chord
                 print "SP0;" }' >"$out.part"
        ;;
    tiny.plt)
        awk 'BEGIN { print "IN;SP1;PD;"
                 for (i = 0; i < 2500000; i++) printf "PR1,0;\nPR0,1;\nPR-1,0;\nPR0,-1;\n"
                 print "PU;SP0;" }' >"$out.part"
        ;;
    esac
    mv "$out.part" "$out"
}

cpu() { # COMMAND...: prints the CPU seconds (user + system) the command took, or its failure
    local t
    if t=$( { (TIMEFORMAT='%U %S'; time "$@" >/dev/null 2>&1) ; } 2>&1 | tail -n 1); then
        awk -v t="$t" 'BEGIN { split(t, a, " "); printf "%.2f s", a[1] + a[2] }'
    else
        echo "failed"
    fi
}

printf '%-18s %10s %12s %14s %12s\n' "Datei" "Zeilen" "view --png" "view Fenster" "hp2xx"
for name in big-10deg.plt big-1deg.plt squares.plt small-circles.plt big-circles.plt tiny.plt; do
    make_file "$name"
    f=$files/$name
    png=$(cpu "$build/tools/view/plotalon-view" --plot "$f" --png "$work/out.png")
    window=$(cpu "$build/bench/bench_preview_view" --files "$f")
    if command -v hp2xx >/dev/null; then
        hp=$(cpu timeout "$limit" hp2xx -q -m png -d 150 -f "$work/hp2xx.png" "$f")
        [ "$hp" = failed ] && hp="> $limit s"
    else
        hp="(fehlt)"
    fi
    printf '%-18s %10s %12s %14s %12s\n' "$name" "$(wc -l <"$f")" "$png" "$window" "$hp"
done
