#!/bin/sh
# Byte-for-byte comparison of two builds' outputs on generated input: `zul convert` on every
# entry form (and --raw), every `zul batch` job and `zul palette-from-picture`. Prints one line
# per run, "same" or "DIFFERENT", and exits 1 on any difference.
#
# Usage: bench/compare_outputs.sh OLD_ZUL NEW_ZUL [lines] [picture]
set -eu

OLD=$1
NEW=$2
N=${3:-1000000}
PICTURE=${4:-}
WORK=${TMPDIR:-/tmp}/zul-compare
mkdir -p "$WORK"
status=0

# Random lines of a form, fixed seed; wide ranges with negative, tiny and large numbers so that
# every rounding and exponent path is taken.
make_input() {
    awk -v n="$N" -v form="$1" 'BEGIN {
        srand(7)
        split("R YR Y GY G BG B PB P RP", fam, " ")
        for (i = 0; i < n; i++) {
            k = i % 10
            if (form == "munsell")
                printf "%.*f%s,%.*f,%.*f\n", k % 3, rand() * 10, fam[1 + int(rand() * 10)],
                    k % 4, rand() * 10, k % 3, rand() * 30
            else if (form == "xyz")
                printf "%.*f,%.*f,%.*f\n", k % 5, rand() * 110, k % 5, rand() * 105,
                    k % 5, rand() * 120
            else if (form == "xy")
                printf "%.*f,%.*f,%.*f\n", 2 + k % 4, rand() * 0.8, 2 + k % 4, rand() * 0.9,
                    k % 4, rand() * 100
            else if (form == "lab")
                printf "%.*f,%.*f,%.*f\n", k % 4, rand() * 100, k % 4, rand() * 260 - 130,
                    k % 4, rand() * 260 - 130
            else if (form == "rgb")
                printf "%d,%d,%d\n", int(rand() * 256), int(rand() * 256), int(rand() * 256)
            else if (form == "cmyk")
                printf "%.*f,%.*f,%.*f,%.*f\n", k % 3, rand() * 100, k % 3, rand() * 100,
                    k % 3, rand() * 100, k % 3, rand() * 100
        }
    }'
}

report() {
    if cmp -s "$WORK/old.out" "$WORK/new.out"; then
        echo "$1: same ($(wc -c < "$WORK/new.out") bytes)"
    else
        echo "$1: DIFFERENT"
        status=1
    fi
}

for form in munsell xyz xy lab rgb cmyk; do
    make_input "$form" > "$WORK/$form.csv"
    "$OLD" convert --from "$form" "$WORK/$form.csv" > "$WORK/old.out" 2>&1 || true
    "$NEW" convert --from "$form" "$WORK/$form.csv" > "$WORK/new.out" 2>&1 || true
    report "convert --from $form, $N lines"
done
for form in munsell xyz; do
    "$OLD" convert --raw --from "$form" "$WORK/$form.csv" > "$WORK/old.out" 2>&1 || true
    "$NEW" convert --raw --from "$form" "$WORK/$form.csv" > "$WORK/new.out" 2>&1 || true
    report "convert --raw --from $form, $N lines"
done

for job in munsell steps checker chart lab xyz spectral; do
    input=$(TMPDIR=$WORK sh "$(dirname "$0")/batch_throughput.sh" "$job" "$N" "$NEW" >/dev/null 2>&1;
        echo "$WORK/zul-batch-bench/$job-$N.txt")
    for build in old new; do
        zul=$OLD
        [ "$build" = new ] && zul=$NEW
        rm -f "$WORK/$build.csv"
        if [ "$job" = xyz ]; then
            out="--palette $WORK/$build.csv"
        else
            out="-o $WORK/$build.csv"
        fi
        # shellcheck disable=SC2086
        "$zul" batch "$job" -i "$input" $out --errors "$WORK/$build.err" \
            --time 2026-01-01T00:00:00 > "$WORK/$build.stdout" 2>&1 || true
        cat "$WORK/$build.csv" "$WORK/$build.err" "$WORK/$build.stdout" > "$WORK/$build.out"
    done
    report "batch $job, $N records"
done

if [ -n "$PICTURE" ]; then
    for grid in 1 3 10 35; do
        for build in old new; do
            zul=$OLD
            [ "$build" = new ] && zul=$NEW
            "$zul" palette-from-picture "$PICTURE" --grid "$grid" -o "$WORK/pic.csv" \
                > /dev/null 2>&1 || true
            # The date and time of the records are the clock's: compare what follows them.
            cut -d, -f3- "$WORK/pic.csv" > "$WORK/$build.out"
        done
        report "palette-from-picture --grid $grid"
    done
fi
exit $status
