#!/bin/sh
# Byte-for-byte comparison of two builds' outputs on generated input: `zul convert` on every
# entry form (and --raw, and under D50 and D65 with and without --adapt), every `zul batch` job,
# `zul palette-from-picture`, and the other faces: charts as CSV and PNG, `zul view` pictures,
# `zul table`, `zul spectral`, `zul measure --instrument Import` and `zul qc`. Prints one line per
# run, "same" or "DIFFERENT", and exits 1 on any difference.
#
# Usage: bench/compare_outputs.sh OLD_ZUL NEW_ZUL [lines] [picture]
set -eu

OLD=$(realpath "$1") # the faces run in folders of their own
NEW=$(realpath "$2")
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

for form in xyz lab rgb; do
    for light in "D50" "D65 --adapt"; do
        # shellcheck disable=SC2086
        "$OLD" convert --from "$form" --illuminant $light "$WORK/$form.csv" > "$WORK/old.out" 2>&1 || true
        # shellcheck disable=SC2086
        "$NEW" convert --from "$form" --illuminant $light "$WORK/$form.csv" > "$WORK/new.out" 2>&1 || true
        report "convert --from $form --illuminant $light, $N lines"
    done
done

# Runs one command line with each build in a fresh folder and compares what it printed, its
# status and the files it wrote (named after the command line; PNG and PDF byte for byte).
face() {
    name=$1
    shift
    for build in old new; do
        zul=$OLD
        [ "$build" = new ] && zul=$NEW
        rm -rf "$WORK/face-$build"
        mkdir -p "$WORK/face-$build"
        cp "$WORK/faces/"* "$WORK/face-$build/" 2>/dev/null || true
        (cd "$WORK/face-$build" && s=0 && "$zul" "$@" > stdout.txt 2> stderr.txt || s=$?;
            echo "status $s" >> stdout.txt)
        # A PDF holds the clock's date and its fonts in no fixed order: compare its pages'
        # pictures and text instead (poppler-utils).
        for f in "$WORK/face-$build"/*.pdf; do
            [ -e "$f" ] || continue
            pdftoppm -r 50 -png "$f" "$f.page"
            pdftotext -layout "$f" "$f.txt"
            rm "$f"
        done
        (cd "$WORK/face-$build" && find . -type f | sort | xargs cat) > "$WORK/$build.out"
    done
    report "$name"
}

mkdir -p "$WORK/faces"
printf 'sample 1\n' > "$WORK/faces/sample.txt"
for r in 5 5 6 6 7 8 9 10 11 12 13 14 15 16 18 20 25 30 35 40 45 50 55 60 62 64 66 68 70 71 72 \
    73 74 75 75 76 76 77 77 78; do echo $r; done >> "$WORK/faces/sample.txt"
printf 'id,L*,a*,b*\n1,52,40,20\n2,52.5,41,19\n3,60,30,10\nbad,x,1,2\n' > "$WORK/faces/qc.csv"
head -n 2000 "$WORK/munsell.csv" | awk -F, '{ printf "2026-01-01,00:00:00,t%d,%s,%s,%s\n", NR, $1, $2, $3 }' \
    > "$WORK/faces/palette.csv"
face "chart hue 5R png/pdf/csv" chart hue 5R --png hue.png --pdf hue.pdf --csv hue.csv
face "chart value 5 png/csv" chart value 5 --png value.png --csv value.csv
face "chart tolerance png/csv" chart tolerance 50 40 20 --png tol.png --csv tol.csv --tolerance 3
face "chart tolerance D50 adapted" chart tolerance 50 40 20 --csv tol.csv --illuminant D50 --adapt
face "chart colorchecker png/csv" chart colorchecker --png cc.png --csv cc.csv
face "view png" view palette.csv --png view.png --size 400 --rotation 30 --tilt 20 --numbers
face "table" table -o table.prn
face "table D65" table -o table.prn --illuminant D65
face "spectral all conditions" spectral sample.txt --illuminant all --observer both --indices
face "measure Import" measure --instrument Import --file sample.txt
face "qc lab" qc --standard "52,40,20" --from lab --columns id,L*,a*,b* qc.csv --limit 1.5
face "qc munsell cmc" qc --standard "5R 4/14" --from munsell --formula cmc --lc 2:1 palette.csv
face "bad command" chart hue 5Q

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
