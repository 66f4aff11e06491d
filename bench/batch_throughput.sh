#!/bin/sh
# Throughput of `zul batch JOB` on generated records read from a file: records per second and
# peak memory. Goals on a 2-core machine with 1,000,000 records: munsell, steps, checker, chart
# and lab above 500,000 records/s, xyz above 300,000, spectral above 150,000; under 100 MB.
#
# Usage: bench/batch_throughput.sh JOB [records] [path/to/zul]
set -eu
. "$(dirname "$0")/throughput.sh"

JOB=${1:?usage: batch_throughput.sh JOB [records] [zul]}
RECORDS=${2:-1000000}
ZUL=${3:-build/app/zul}
WORK=$(bench_workdir batch)
INPUT=$WORK/$JOB-$RECORDS.txt

if [ ! -s "$INPUT" ]; then
    # Fixed seed; colours inside the renotation data, as catalogues and instruments give them.
    # The sequence depends on the awk (the figures in bench/README.md come from mawk 1.3.4).
    awk -v n="$RECORDS" -v job="$JOB" 'BEGIN {
        srand(1)
        split("R YR Y GY G BG B PB P RP", fam, " ")
        if (job == "xyz") print "Tag,X,Y,Z"
        if (job == "lab") print "L*,a*,b*"
        if (job == "munsell") print "Hue,Value,Chroma"
        if (job == "checker") print "No,Name,Hue,Value,Chroma"
        if (job == "chart") print "Name,Code,Group,Hue,Value,Chroma"
        for (i = 0; i < n; i++) {
            hue = sprintf("%.1f%s", 0.5 + rand() * 9.5, fam[1 + int(rand() * 10)])
            v = sprintf("%.1f", 2 + rand() * 6)
            c = sprintf("%.1f", rand() * 6)
            if (job == "xyz")
                printf "s%d,%.2f,%.2f,%.2f\n", i, 1 + rand() * 90, 1 + rand() * 99, 1 + rand() * 100
            else if (job == "lab")
                printf "%.2f,%.2f,%.2f\n", 20 + rand() * 70, rand() * 60 - 30, rand() * 60 - 30
            else if (job == "munsell") printf "%s,%s,%s\n", hue, v, c
            else if (job == "steps") printf "%s\t%s\t%s\n", hue, v, c
            else if (job == "checker") printf "%d,patch %d,%s,%s,%s\n", i, i, hue, v, c
            else if (job == "chart") printf "name %d,%d,group,%s,%s,%s\n", i, i, hue, v, c
            else if (job == "spectral") {
                printf "s%d,a,b", i
                base = 5 + rand() * 60; slope = rand() * 0.8 - 0.4
                for (k = 0; k < 40; k++) printf ",%.2f", base + slope * k
                printf ",note\n"
            }
        }
    }' > "$INPUT"
fi

cd "$WORK"
rm -f ZULpalette.csv
status=0
/usr/bin/time -f '%e %M %U %S' -o "$WORK/time" "$ZUL" batch "$JOB" -i "$INPUT" \
    --time 2026-01-01T00:00:00 2> "$WORK/err" || status=$?
read -r seconds kbytes user sys <<EOT
$(tail -n 1 "$WORK/time")
EOT

printf 'job:           %s\n' "$JOB"
printf 'records:       %d (exit status %d)\n' "$RECORDS" "$status"
bench_timing "$RECORDS" records "$seconds" "$kbytes" "$user" "$sys"
cat "$WORK/err"
