#!/usr/bin/env bash
# End-to-end time of plotalon-convert on a generated 1,000,000-block NC program, in the literal
# and the standard reading.
# Usage: bench/convert_end_to_end.sh [BUILD_DIR] [BLOCKS]
set -euo pipefail
build=${1:-build}
blocks=${2:-1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[convert]\r\nfactor=1000\r\ndeg=10\r\ntype=1\r\n' > "$work/main.ini"
"$build/bench/bench_engine" --generate "$work/in.nc" "$blocks"
echo "input: $(stat -c %s "$work/in.nc") bytes, $blocks blocks"
for mode in literal standard; do
    for type in 1 2; do
        /usr/bin/time -f "%e %U %S" -o "$work/time" "$build/tools/convert/plotalon-convert" \
            --settings "$work" --nc-mode "$mode" --type "$type" -o "$work/out.plt" "$work/in.nc"
        read -r wall user sys < "$work/time"
        echo "$mode HPGL $type: $wall s ($(echo "$user + $sys" | bc) s CPU), output $(stat -c %s "$work/out.plt") bytes, $(wc -l < "$work/out.plt") lines"
    done
done
