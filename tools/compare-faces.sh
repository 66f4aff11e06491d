#!/usr/bin/env bash
# Runs two builds of zul on the same inputs and compares what each run wrote: standard output,
# standard error, exit status and every file left in its working folder.
#
#   tools/compare-faces.sh OLD NEW [--keep]      e.g. /tmp/zul-old/app/zul build/app/zul
#
# Each run starts in a fresh copy of one folder of inputs (the fuzz corpus's records under the
# batch jobs' default names, CGATS files, palettes, spectral files, convert samples). Palette
# records written without --time carry the clock, and PDF files their creation date: both are
# masked before the files are compared. Prints one line per differing run and a count; exits 1
# when a run differs. Runs whose difference is intended are listed in EXPECTED below and
# reported, not counted.
set -u
OLD=$(realpath "$1")
NEW=$(realpath "$2")
KEEP=${3:-}
SRC=$(cd "$(dirname "$0")/.." && pwd)
WORK=$(mktemp -d)
CORPUS=$SRC/tests/fuzz/corpus
export LC_ALL=C
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
# PDF files list their fonts in hash order: one seed for both.
export QT_HASH_SEED=0

# Intended differences: a CGATS error names its input, and the parser's message loses its empty
# file name and line break; an Import error box is printed a line of stderr per line of the box,
# not with its line-end bytes.
EXPECTED=" batch-cgats-xyz measure-import-bad "
# The same in the bad-input runs: CGATS parser messages of zul batch; the Import box of zul
# measure and the one CGATS reader's refusals in place of Import's own; their stderr sizes.
BADINPUT_INTENDED='^[<>] (stderr [0-9]+|zul batch: .*(CGATS|Line [0-9]+, ).*|zul measure: (file import format error.*|FORMAT|TAG|%R360, ...,%R750|.*(not a readable CGATS file|spectral fields).*|sample.txt: (.*is not a number|no value at [0-9]+ nm|the CGATS file holds no sample)))$'

# --- the inputs
FIX=$WORK/fixtures
mkdir -p "$FIX"
cp "$CORPUS/batch_records/steps" "$FIX/steps.txt"
cp "$CORPUS/batch_records/lab" "$FIX/lab_sRGB.csv"
cp "$CORPUS/batch_records/munsell" "$FIX/munsell.csv"
cp "$CORPUS/batch_records/chart" "$FIX/RHScolors.txt"
cp "$CORPUS/batch_records/spectral" "$FIX/munfile1.txt"
cp "$CORPUS/batch_records/xyz" "$FIX/xyz.csv"
cp "$CORPUS/batch_records/checker" "$FIX/checker.csv"
cp "$CORPUS/cgats/lab" "$FIX/lab.cgats"
cp "$CORPUS/cgats/xyz" "$FIX/xyz.cgats"
cp "$CORPUS/cgats/spectral" "$FIX/spectral.cgats"
cp "$CORPUS/palette_record/good" "$FIX/mypalette.csv"
cp "$CORPUS/palette_record/badnumbers" "$FIX/badpalette.csv"
cp "$CORPUS/spectral_import/plain" "$FIX/sample.txt"
cp "$CORPUS/spectral_import/cgats" "$FIX/sample.cgats"
cp "$CORPUS/spectral_import/plain_bad" "$FIX/bad.txt"
cp "$SRC/data/TestImage.jpg" "$FIX/TestImage.jpg"
printf 'id,X,Y,Z\nA1,41.2,21.3,1.9\nA2,95.05,100,108.9\nA3,x,1,2\n' > "$FIX/samples.csv"
printf 'Probe;L;a;b\nP1;50,5;10;-20,25\nP2;70;0;0\nP3;abc;1;2\n' > "$FIX/messungen.csv"
printf 'hue,value,chroma\n5R,4,14\n\n2.5YR,6,8\n5Q,4,4\n10RP,9.5,2\nN,5,0\n' > "$FIX/mun.csv"
printf '12,20,30\n50,50,50\n0,0,0\n95.05,100,108.9\n1,2\n' > "$FIX/xyz-values.csv"
printf '255,0,0\n0,255,0\n12,34,56\n300,0,0\n' > "$FIX/rgb.csv"
printf '0,100,100,0\n10,20,30,40\n' > "$FIX/cmyk.csv"
printf '0.3101,0.3162,50\n0.4,0.4,30\n0.1,0.1,0\n' > "$FIX/xy.csv"
printf '50,10,-20\n100,0,0\n0,0,0\n' > "$FIX/lab.csv"
printf 'previous\n' > "$FIX/keep.prn"
# A larger palette from the picture, made once for both.
(cd "$FIX" && "$OLD" palette-from-picture TestImage.jpg --grid 40 -o pic.csv > /dev/null 2>&1)

mask() { # palette clock and PDF dates
    sed -E -i 's/"?[0-9]{2}-[0-9]{2}-[0-9]{4}"?,"?[0-9]{2}:[0-9]{2}:[0-9]{2}"?/DATE,TIME/g;
               s/\/(CreationDate|ModDate) ?\(D:[^)]*\)/\/\1 (D:masked)/g' "$@" 2>/dev/null
}

runs=0
diffs=0
expected=0
run_one() { # side name stdin args...
    local side=$1 name=$2 input=$3
    shift 3
    local bin=$OLD
    [ "$side" = new ] && bin=$NEW
    local dir=$WORK/$side/$name
    mkdir -p "$dir"
    cp -a "$FIX/." "$dir/"
    (cd "$dir" && if [ -n "$input" ]; then "$bin" "$@" < "$input"; else "$bin" "$@" < /dev/null; fi \
        > "$WORK/$side/$name.out" 2> "$WORK/$side/$name.err"
    echo $? > "$WORK/$side/$name.status")
    # Files the run left: every file but the fixtures that it did not change.
    (cd "$dir" && for f in $(find . -type f | sort); do
        if [ -f "$FIX/$f" ] && cmp -s "$f" "$FIX/$f"; then rm -f "$f"; fi
    done)
    mask $(find "$dir" -type f) "$WORK/$side/$name.out"
}

t() { # name [<FILE] args...
    local name=$1 input=
    shift
    case ${1:-} in \<*) input=$WORK/fixtures/${1#<}; shift ;; esac
    runs=$((runs + 1))
    run_one old "$name" "$input" "$@"
    run_one new "$name" "$input" "$@"
    local what=""
    cmp -s "$WORK/old/$name.out" "$WORK/new/$name.out" || what="$what stdout"
    cmp -s "$WORK/old/$name.err" "$WORK/new/$name.err" || what="$what stderr"
    cmp -s "$WORK/old/$name.status" "$WORK/new/$name.status" || what="$what status"
    diff -r -q "$WORK/old/$name" "$WORK/new/$name" > /dev/null || what="$what files"
    if [ -n "$what" ]; then
        if [[ $EXPECTED == *" $name "* ]]; then
            expected=$((expected + 1))
            echo "intended  $name:$what   (zul $*)"
            echo "    old $(cat "$WORK/old/$name.status"): $(head -c 160 "$WORK/old/$name.err" | head -1)"
            echo "    new $(cat "$WORK/new/$name.status"): $(head -c 160 "$WORK/new/$name.err" | head -1)"
        else
            diffs=$((diffs + 1))
            echo "DIFFERS   $name:$what   (zul $*)"
            diff "$WORK/old/$name.err" "$WORK/new/$name.err" | head -6
        fi
    elif [[ $EXPECTED == *" $name "* ]]; then
        echo "note: $name was listed as intended but is identical"
    fi
}

# --- help and version
t help --help
t help-h -h
t help-word help
t version --version
t unknown-command transmogrify
for c in convert palette-from-picture view chart measure batch table; do
    t "help-$c" $c --help
    t "help-h-$c" $c -h
    t "usage-unknown-$c" $c --bogus-option
    t "usage-late-help-$c" $c --bogus-option --help
done

# --- README examples
t readme-columns convert --from xyz --columns id,X,Y,Z samples.csv
t readme-semicolon '<messungen.csv' convert --from lab --columns 2,3,4 --delimiter ';' -
t readme-adapt convert --from xyz --illuminant D50 --adapt 96.42 100 82.49
t readme-chart-png chart hue 5R --png hue.png
t readme-pfp palette-from-picture TestImage.jpg --grid 10 -o T.CSV
t readme-view view mypalette.csv --png view.png --size 800 --rotation 30 --tilt 20 --zoom 15 --numbers
t readme-import measure --instrument Import --file sample.txt
t readme-import-spectrum measure --instrument Import --file sample.cgats --spectrum
t readme-table table
t readme-batch-steps batch steps

# --- convert
t conv-munsell convert --from munsell 5R 4 14
t conv-notation convert --from munsell "5R 4/14"
t conv-neutral convert --from munsell "N 5/"
t conv-xyz convert --from xyz 41.2 21.3 1.9
t conv-xy convert --from xy 0.3101 0.3162 50
t conv-lab-neg convert --from lab 50 -20 -.5
t conv-lab-dd convert --from lab -- 50 -20 -.5
t conv-rgb convert --from rgb 12 34 56
t conv-cmyk convert --from cmyk 10 20 30 40
t conv-d65-pwd convert --from munsell --illuminant d65 --pwd --gamma 2.5 5R 4 14
t conv-d50-eq convert --from=xyz --illuminant=D50 --gamma=1.8 --adapt 41.2 21.3 1.9
t conv-raw-mun convert --from munsell --raw 5R 4 14
t conv-raw-xyz convert --from xyz --raw 41.2 21.3 1.9
t conv-fail convert --from munsell 5Q 4 14
for f in mun:munsell xyz-values:xyz rgb:rgb cmyk:cmyk xy:xy lab:lab; do
    t "conv-file-${f%%:*}" convert --from "${f#*:}" "${f%%:*}.csv"
    t "conv-stdin-${f%%:*}" "<${f%%:*}.csv" convert --from "${f#*:}"
    t "conv-dash-${f%%:*}" "<${f%%:*}.csv" convert --from "${f#*:}" -
done
t conv-raw-file convert --from munsell --raw mun.csv
t conv-columns-num convert --from xyz --columns 2,3,4 samples.csv
t conv-columns-eq convert --from xyz --columns=X,Y,Z samples.csv
t conv-delim-eq convert --from=lab --columns=2,3,4 --delimiter=semicolon messungen.csv
t conv-missing-file convert --from xyz nothere.csv
t conv-bad-columns convert --from xyz --columns X,Q,Z samples.csv
t conv-usage-noform convert 1 2 3
t conv-usage-form convert --from hsv 1 2 3
t conv-usage-count convert --from xyz 1 2
t conv-usage-missing convert --from
t conv-usage-ill convert --from xyz --illuminant A 1 2 3
t conv-usage-gamma convert --from xyz --gamma 7 1 2 3
t conv-usage-gamma-eq convert --from xyz --gamma=x 1 2 3
t conv-usage-delim convert --from xyz --delimiter tab samples.csv
t conv-usage-cols-empty convert --from xyz --columns= samples.csv
t conv-usage-raw-lab convert --from lab --raw 1 2 3
t conv-usage-raw-cols convert --from xyz --raw --columns 2,3,4 samples.csv
t conv-usage-values-cols convert --from xyz --columns 1,2,3 1 2 3
t conv-usage-flag-eq convert --from xyz --pwd=1 1 2 3
t conv-usage-single convert --from xyz -x 1 2 3
t conv-usage-order convert --from hsv --bogus
t conv-help-after-dd convert --from xyz -- -h 1 2

# --- chart: CSV of every chart, files, errors
t chart-hue chart hue 5R --csv -
t chart-hue-default chart hue 10RP
t chart-value chart value 5 --csv -
t chart-tolerance chart tolerance 50 40 20 --csv -
t chart-tolerance-neg chart tolerance 50 -20 10 --tolerance 3,4,5 --csv -
t chart-checker chart colorchecker --csv -
t chart-checker-file chart colorchecker --ccnames checker.csv --csv -
t chart-settings chart hue 5Y --illuminant D65 --pwd --gamma 2.5 --scale 2 --csv -
t chart-settings-eq chart hue 5Y --illuminant=D65 --gamma=2.5 --scale=2 --csv=-
t chart-files chart value 5 --scale 2 --png v.png --pdf v.pdf --csv v.csv
t chart-pdf chart tolerance 50 40 20 --pdf t.pdf
t chart-bad-hue chart hue 5Q
t chart-bad-value chart value 11
t chart-usage-none chart
t chart-usage-kind chart pie
t chart-usage-count chart hue
t chart-usage-ill chart hue 5R --illuminant A
t chart-usage-gamma chart hue 5R --gamma 0.5
t chart-usage-tol chart tolerance 50 40 20 --tolerance 1,2
t chart-usage-tol2 chart tolerance 50 40 20 --tolerance 30
t chart-usage-scale chart hue 5R --scale 0
t chart-usage-missing chart hue 5R --csv
t chart-usage-flag-eq chart hue 5R --pwd=1
t chart-single-dash chart hue -x
t chart-unknown-last chart hue 5R --bogus

# --- table
t table-stdout table -o -
t table-d65 table -o - --illuminant D65 --pwd --gamma 2.5
t table-eq table -o - --illuminant=d50 --gamma=1.8
t table-file table -o mytable.prn
t table-keep table -o keep.prn --illuminant C
t table-usage-pos table extra
t table-usage-num table -5
t table-usage-missing table -o
t table-usage-ill table --illuminant A
t table-usage-flag-eq table --pwd=1
t dd-table table -o - --

# --- batch: every job on the corpus's records
t batch-xyz batch xyz -i xyz.csv --palette pal --time 2026-12-07T10:45:00
t batch-xyz-default batch xyz -i xyz.csv --time 2026-12-07T10:45:00
t batch-lab batch lab
t batch-6 batch 6 -o -
t batch-munsell batch munsell -i munsell.csv -o out.txt --errors errors.csv
t batch-0 batch 0 -i munsell.csv -o -
t batch-steps batch 3 --illuminant D65 --pwd --gamma 2.5
t batch-checker batch checker -i checker.csv
t batch-checker-default batch 4
t batch-chart batch chart
t batch-spectral batch spectral -o -
t batch-stdin '<steps.txt' batch steps -i - -o -
t batch-cgats-lab batch lab -i lab.cgats --format cgats -o -
t batch-cgats-xyz batch xyz -i xyz.cgats --format cgats --palette c --time 2026-12-07T10:45:00
t batch-cgats-spectral batch spectral -i spectral.cgats --format cgats -o -
t batch-cgats-out batch munsell -i munsell.csv --format cgats -o -
t batch-missing-input batch munsell -i nothere.csv
t batch-usage-none batch
t batch-usage-job batch 9
t batch-usage-two batch lab steps
t batch-usage-needs-i batch munsell
t batch-usage-format batch lab --format xml
t batch-usage-cgats batch checker --format cgats
t batch-usage-time batch xyz --time yesterday
t batch-usage-o-xyz batch xyz -o x.txt
t batch-usage-palette batch lab --palette p
t batch-usage-missing batch lab -o
t batch-usage-ill batch lab --illuminant A
t batch-usage-dash batch -
t batch-ill-eq batch steps -o - --illuminant=D50
t eq-batch-palette batch xyz -i xyz.csv --palette=pal --time 2026-12-07T10:45:00
t eq-batch-errors batch munsell -i munsell.csv -o - --errors=e.csv
t eq-batch-time batch xyz -i xyz.csv --time=2026-12-07T10:45:00
t eq-batch-format batch lab -i lab.cgats --format=cgats -o -
t dd-batch batch -- steps -o -
t num-batch batch -5

# --- measure
t measure-import measure --instrument Import --file sample.txt
t measure-import-bad measure --instrument Import --file bad.txt
t measure-import-missing measure --instrument Import --file nothere.txt
t measure-usage-none measure
t measure-usage-file measure --instrument Import
t measure-usage-port measure --instrument CE7000
t measure-usage-port-bad measure --instrument CE7000 --port 9
t measure-usage-cal measure --instrument Import --file sample.txt --calibrate
t measure-usage-answer measure --instrument CE7000 --port 1 --answer maybe
t measure-usage-missing measure --instrument
t measure-usage-pos measure stray
t measure-usage-num measure -5
t measure-no-port measure --instrument CE7000 --device /nonexistent/tty
t eq-measure-instrument measure --instrument=Import --file=sample.txt
t eq-measure-answer measure --instrument Import --file sample.txt --answer=Q=yes
t dd-measure measure --instrument Import --file sample.txt --
export ZUL_COMM1=sim:ce7000
t measure-sim measure --instrument CE7000 --port 1 --spectrum
t measure-sim-cal measure --instrument CE7000 --port 1 --calibrate --answer "White Standard=yes"
unset ZUL_COMM1

# --- palette-from-picture and view
t pfp-default palette-from-picture TestImage.jpg
t pfp-grid palette-from-picture TestImage.jpg --grid 25 --output=big.csv
t pfp-output-space palette-from-picture TestImage.jpg --grid 50 --output x.csv
t pfp-missing palette-from-picture nothere.jpg
t pfp-bad-grid palette-from-picture TestImage.jpg --grid 0
t pfp-usage-none palette-from-picture
t pfp-usage-two palette-from-picture a.jpg b.jpg
t pfp-usage-missing palette-from-picture TestImage.jpg -o
t pfp-usage-o-eq palette-from-picture TestImage.jpg -o=x.csv
t pfp-grid-eq palette-from-picture TestImage.jpg --grid=50 -o x.csv
t num-pfp palette-from-picture -5
t dd-pfp palette-from-picture -- TestImage.jpg --grid 50
t view-pic view pic.csv --png pic.png --size 300
t view-eq view pic.csv --png=pic.png --size=300 --rotation=-45 --tilt=90 --zoom=10
t view-bad view badpalette.csv --png b.png --size 64
t view-missing view nothere.csv --png m.png --size 64
t view-usage-none view
t view-usage-png view pic.csv
t view-usage-size view pic.csv --png p.png --size 8
t view-usage-two view a.csv b.csv --png p.png
t view-usage-missing view pic.csv --png
t view-usage-flag-eq view pic.csv --png p.png --numbers=1
t view-neg-pos view -5 --png p.png --size 64
t dash-view view - --png p.png --size 64
t dd-view view --png p.png --size 64 -- pic.csv

# --- the bad-input generator of tests/badinput, its fixed seed, through both builds
BADINPUT=${BADINPUT:-$(dirname "$NEW")/../tests/badinput/test_badinput}
if [ -x "$BADINPUT" ]; then
    for side in old new; do
        bin=$OLD
        [ $side = new ] && bin=$NEW
        (cd "$WORK" && ZUL_PROGRAM=$bin ZUL_RUN_LOG=$WORK/badinput-$side.log "$BADINPUT" \
            > "$WORK/badinput-$side.txt" 2>&1)
        echo "bad input through $side: $(grep -c '^args ' "$WORK/badinput-$side.log") runs," \
            "$(grep -E '^\[  (PASSED|FAILED)' "$WORK/badinput-$side.txt" | tr '\n' ' ')"
    done
    if cmp -s "$WORK/badinput-old.log" "$WORK/badinput-new.log"; then
        echo "bad input: every run identical (arguments, input, status, both outputs)"
    elif ! diff -a "$WORK/badinput-old.log" "$WORK/badinput-new.log" | grep -a '^[<>]' |
        grep -aEqv "$BADINPUT_INTENDED"; then
        expected=$((expected + 1))
        echo "intended  bad input runs: CGATS messages only"
    else
        diffs=$((diffs + 1))
        echo "DIFFERS   bad input runs"
        diff -a "$WORK/badinput-old.log" "$WORK/badinput-new.log" | head -10
    fi
else
    echo "bad input: $BADINPUT not built, skipped"
fi

echo "$runs runs compared: $diffs differ unexpectedly, $expected differ as intended"
[ -z "$KEEP" ] && rm -rf "$WORK" || echo "kept in $WORK"
[ "$diffs" -eq 0 ]
