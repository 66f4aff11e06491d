#!/bin/sh
# Throughput of `zul spectral` on one CGATS file of random smooth spectra (40 values, 360..750 nm
# at 10 nm, fixed seed), under the default D65 10 deg: records per second and peak memory.
#
# Usage: bench/spectral_throughput.sh [path/to/zul] [spectra] [extra spectral options...]
set -eu

ZUL=${1:-build/app/zul}
COUNT=${2:-100000}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && shift
WORK=${TMPDIR:-/tmp}/zul-spectral-bench
mkdir -p "$WORK"
INPUT=$WORK/spectra-$COUNT.cgats

if [ ! -s "$INPUT" ]; then
    awk -v n="$COUNT" 'BEGIN {
        srand(1)
        print "CGATS.17"
        print "NUMBER_OF_FIELDS 41"
        print "BEGIN_DATA_FORMAT"
        printf "SAMPLE_ID"
        for (nm = 360; nm <= 750; nm += 10) printf " SPECTRAL_NM%d", nm
        print ""
        print "END_DATA_FORMAT"
        print "NUMBER_OF_SETS " n
        print "BEGIN_DATA"
        for (i = 0; i < n; i++) {
            base = 5 + rand() * 40; rise = rand() * 50; edge = 420 + rand() * 260
            printf "%d", i + 1
            for (nm = 360; nm <= 750; nm += 10)
                printf " %.4f", (base + rise / (1 + exp(-(nm - edge) / 20))) / 100
            print ""
        }
        print "END_DATA"
    }' > "$INPUT"
fi

status=0
/usr/bin/time -f '%e %M %U %S' -o "$WORK/time" "$ZUL" spectral "$INPUT" "$@" \
    > "$WORK/out.csv" 2> "$WORK/err" || status=$?
read -r seconds kbytes user sys < "$WORK/time"
out=$(($(wc -l < "$WORK/out.csv") - 1))

awk -v n="$COUNT" -v s="$seconds" -v kb="$kbytes" -v out="$out" -v st="$status" \
    -v user="$user" -v sys="$sys" 'BEGIN {
    printf "spectra in:    %d\n", n
    printf "lines out:     %d (exit status %d)\n", out, st
    printf "elapsed:       %.2f s (CPU %.2f s user, %.2f s system)\n", s, user, sys
    printf "throughput:    %.0f spectra/s\n", (s > 0 ? n / s : 0)
    printf "peak memory:   %.1f MB\n", kb / 1024
}'
