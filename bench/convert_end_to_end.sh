#!/usr/bin/env bash
# End-to-end time of plotalon-convert on a generated 1,000,000-block NC program.
# Usage: bench/convert_end_to_end.sh [BUILD_DIR] [BLOCKS]
set -euo pipefail
build=${1:-build}
blocks=${2:-1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[convert]\r\nfactor=1000\r\ndeg=10\r\ntype=1\r\n' > "$work/main.ini"
"$build/bench/bench_engine" --generate "$work/in.nc" "$blocks"
echo "input: $(stat -c %s "$work/in.nc") bytes, $blocks blocks"
for type in 1 2; do
    start=$(date +%s.%N)
    "$build/tools/convert/plotalon-convert" --settings "$work" --type "$type" -o "$work/out.plt" "$work/in.nc"
    end=$(date +%s.%N)
    echo "HPGL $type: $(echo "$end - $start" | bc) s, output $(stat -c %s "$work/out.plt") bytes, $(wc -l < "$work/out.plt") lines"
done
