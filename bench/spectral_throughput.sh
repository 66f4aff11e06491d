#!/bin/sh
# Throughput of `zul spectral` on CGATS files of random smooth spectra (40 values, 360..750 nm at
# 10 nm, fixed seed), under the default D65 10 deg: spectra per second and peak memory. The
# spectra are split over files of 25,000 (the CGATS reader takes at most 32,766 sets a file).
#
# Usage: bench/spectral_throughput.sh [path/to/zul] [spectra] [extra spectral options...]
set -eu
. "$(dirname "$0")/throughput.sh"

ZUL=${1:-build/app/zul}
COUNT=${2:-100000}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && shift
WORK=$(bench_workdir spectral)
PER_FILE=25000
FILES=""
piece=0
left=$COUNT
while [ "$left" -gt 0 ]; do
    n=$((left < PER_FILE ? left : PER_FILE))
    piece=$((piece + 1))
    INPUT=$WORK/spectra-$n-$piece.cgats
    FILES="$FILES $INPUT"
    left=$((left - n))
    [ -s "$INPUT" ] && continue
    awk -v n="$n" -v seed="$piece" 'BEGIN {
        srand(seed)
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
done

status=0
/usr/bin/time -f '%e %M %U %S' -o "$WORK/time" "$ZUL" spectral $FILES "$@" \
    > "$WORK/out.csv" 2> "$WORK/err" || status=$?
read -r seconds kbytes user sys <<EOF
$(tail -1 "$WORK/time")
EOF
out=$(($(wc -l < "$WORK/out.csv") - 1))

printf 'spectra in:    %d\n' "$COUNT"
printf 'lines out:     %d (exit status %d)\n' "$out" "$status"
bench_timing "$COUNT" spectra "$seconds" "$kbytes" "$user" "$sys"
