#!/usr/bin/env bash
# Peak memory (resident set) of plotalon-convert on large inputs: a generated NC program of
# about 300 MB, and 100 MB of CR bytes (100 million empty lines). Each is converted into a
# file (-o), into a device (-o /dev/null) and to standard output, and in the standard reading
# into a file; the converter should hold about the same few megabytes whatever the input's
# size. CONVERTER may be an older build, for a comparison (it must know --nc-mode for the last
# line).
# Usage: bench/convert_memory.sh [BUILD_DIR] [CONVERTER]
set -euo pipefail
build=${1:-build}
convert=${2:-$build/tools/convert/plotalon-convert}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[convert]\r\nfactor=1000\r\ndeg=10\r\ntype=1\r\n' > "$work/main.ini"
"$build/bench/bench_engine" --generate "$work/program.nc" 12000000
head -c 100000000 /dev/zero | tr '\0' '\r' > "$work/cr.nc"
peak() { # peak resident memory in MB of the command given
    /usr/bin/time -f %M -o "$work/time" "$@" 2>/dev/null >/dev/null
    echo "$(( $(cat "$work/time") / 1024 )) MB"
}
for input in program.nc cr.nc; do
    echo "$input: $(stat -c %s "$work/$input") bytes"
    echo "  -o file:    $(peak "$convert" --settings "$work" -o "$work/out.plt" "$work/$input")"
    echo "  -o device:  $(peak "$convert" --settings "$work" -o /dev/null "$work/$input")"
    echo "  stdout:     $(peak "$convert" --settings "$work" "$work/$input")"
    echo "  standard:   $(peak "$convert" --settings "$work" --nc-mode standard -o "$work/out.plt" "$work/$input")"
done
