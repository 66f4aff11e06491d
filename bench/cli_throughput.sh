#!/bin/sh
# Throughput of `zul convert --from xyz` on 1,000,000 random XYZ lines read from a file: lines per
# second and peak memory. Goal: above 500,000 lines/s on a 2-core machine, under 100 MB.
#
# Usage: bench/cli_throughput.sh [path/to/zul] [lines] [extra convert options...]
set -eu
. "$(dirname "$0")/throughput.sh"

ZUL=${1:-build/app/zul}
LINES=${2:-1000000}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && shift
WORK=$(bench_workdir cli)
INPUT=$WORK/xyz-$LINES.csv

if [ ! -s "$INPUT" ]; then
    # Fixed seed: X 0..95, Y 1..100, Z 0..108, two decimals, as instruments and files give them.
    # The sequence depends on the awk (the figures in bench/README.md come from mawk 1.3.4).
    awk -v n="$LINES" 'BEGIN {
        srand(1)
        print "X,Y,Z"
        for (i = 0; i < n; i++)
            printf "%.2f,%.2f,%.2f\n", rand() * 95, 1 + rand() * 99, rand() * 108
    }' > "$INPUT"
fi

status=0
/usr/bin/time -f '%e %M %U %S' -o "$WORK/time" "$ZUL" convert --from xyz "$@" \
    < "$INPUT" > "$WORK/out.csv" 2> "$WORK/err" || status=$?
read -r seconds kbytes user sys < "$WORK/time"
out=$(($(wc -l < "$WORK/out.csv") - 1))
failed=$(grep -c . "$WORK/err" || true)

printf 'lines in:      %d\n' "$LINES"
printf 'lines out:     %d (exit status %d)\n' "$out" "$status"
bench_timing "$LINES" lines "$seconds" "$kbytes" "$user" "$sys"
[ "$failed" -eq 0 ] || { echo "standard error:"; head -5 "$WORK/err"; }
