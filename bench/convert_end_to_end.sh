#!/usr/bin/env bash
# End-to-end CPU time (user + sys) of plotalon-convert on a generated NC program of 1,000,000
# blocks, in the literal and the standard reading and both dialects, writing a file (-o),
# beside awk '{print}' on the same file: the ratio to awk is what the conversion costs over
# reading and writing the text. awk is timed writing a file, as the converter does, and
# writing to /dev/null. Each time is the best of RUNS runs (default 5), so that a busy second
# core counts less.
#
# With OLD_CONVERTER (an earlier build of plotalon-convert) its times are shown beside, and
# its output must be the same bytes; the script fails where it is not.
#
# Usage: bench/convert_end_to_end.sh [BUILD_DIR] [BLOCKS] [OLD_CONVERTER]
set -euo pipefail
build=${1:-build}
blocks=${2:-1000000}
old=${3:-}
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[convert]\r\nfactor=1000\r\ndeg=10\r\ntype=1\r\n' > "$work/main.ini"
"$build/bench/bench_engine" --generate "$work/in.nc" "$blocks"
echo "input: $(stat -c %s "$work/in.nc") bytes, $blocks blocks; best of $runs runs"

TIMEFORMAT='%3U %3S'
# The best CPU time in ms of the command given (run through the shell).
best() {
    local best=
    for _ in $(seq "$runs"); do
        local t
        t=$( { time sh -c "$1" > /dev/null 2>&1; } 2>&1 )
        t=$(echo "$t" | awk '{ printf "%d", ($1 + $2) * 1000 }')
        if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    done
    echo "$best"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

awk_file=$(best "awk '{print}' '$work/in.nc' > '$work/awk.out'")
awk_null=$(best "awk '{print}' '$work/in.nc' > /dev/null")
echo "awk: ${awk_file} ms CPU writing a file, ${awk_null} ms writing to /dev/null"

convert="$build/tools/convert/plotalon-convert"
status=0
for mode in literal standard; do
    for type in 1 2; do
        args="--settings '$work' --nc-mode $mode --type $type"
        ms=$(best "'$convert' $args -o '$work/out.plt' '$work/in.nc'")
        line="$mode HPGL $type: ${ms} ms CPU, $(ratio "$ms" "$awk_file") x awk to a file"
        line+=" ($(ratio "$ms" "$awk_null") x to /dev/null), output $(stat -c %s "$work/out.plt") bytes"
        if [ -n "$old" ]; then
            old_ms=$(best "'$old' $args -o '$work/old.plt' '$work/in.nc'")
            same=same
            cmp -s "$work/out.plt" "$work/old.plt" || { same=DIFFERENT; status=1; }
            line+="; before ${old_ms} ms ($(ratio "$old_ms" "$awk_file") x), output $same"
        fi
        echo "$line"
    done
done
exit $status
