#!/bin/sh
# Old and new builds side by side, in one run and in turn (old, new, old, new, ...), on every row
# of the speed table: `zul convert --from xyz` on 1,000,000 lines, the palette from a 12 MP
# picture in memory (n = 35, 2 workers), `zul batch munsell`, `xyz` and `spectral` on 1,000,000
# records, and the palette viewer's load of 10,000 records; with the peer JavaScript library on
# the same XYZ lines when it is installed. Prints the load average before and after, and for
# each row the median of the runs: wall time, CPU time (whole-process rows), lines or records
# per second, and new/old.
#
# Usage: bench/side_by_side.sh OLD_BUILD_DIR NEW_BUILD_DIR [runs] [count]
#   runs:  runs of each build per row (default 3)
#   count: lines and records of the whole-process rows (default 1000000)
# A build folder holds app/zul, bench/bench_imaging and bench/bench_viewer (Release).
# The peer row needs node and the npm package "munsell" installed outside the repository:
#   mkdir /tmp/zul-peer && cd /tmp/zul-peer && npm install munsell
# PEER_MODULES names its node_modules folder (default /tmp/zul-peer/node_modules).
# Take the figures on an idle machine: the load average should stay below 1.
set -eu

OLD=$(cd "${1:?usage: side_by_side.sh OLD_BUILD_DIR NEW_BUILD_DIR [runs] [count]}" && pwd)
NEW=$(cd "${2:?usage: side_by_side.sh OLD_BUILD_DIR NEW_BUILD_DIR [runs] [count]}" && pwd)
RUNS=${3:-3}
COUNT=${4:-1000000}
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=${TMPDIR:-/tmp}/zul-side-by-side
PEER_MODULES=${PEER_MODULES:-/tmp/zul-peer/node_modules}
mkdir -p "$WORK"

median() {
    sort -g | awk '{ v[NR] = $1 } END {
        if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2];
        else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# timed NAME COMMAND...: one whole-process run, its output to a file; appends "wall cpu" to
# $WORK/NAME.times.
timed() {
    name=$1
    shift
    /usr/bin/time -f '%e %U %S' -o "$WORK/time" "$@" > "$WORK/$name.out" 2> "$WORK/$name.err" ||
        echo "  ($name: exit status $?, see $WORK/$name.err; a batch job gives 1 when a record fails)"
    # The figures are the last line: GNU time puts "Command exited with non-zero status N" before
    # them when the job fails a record, and that line must not count as a run.
    tail -n 1 "$WORK/time" | awk '{ print $1, $2 + $3 }' >> "$WORK/$name.times"
}

# summary NAME UNIT: the median wall and CPU of NAME's runs and COUNT per second.
summary() {
    wall=$(cut -d' ' -f1 "$WORK/$1.times" | median)
    cpu=$(cut -d' ' -f2 "$WORK/$1.times" | median)
    awk -v n="$COUNT" -v w="$wall" -v c="$cpu" -v name="$1" -v unit="$2" 'BEGIN {
        printf "  %-5s wall %7.3f s  CPU %7.3f s  %10.0f %s/s\n", name, w, c, (w > 0 ? n / w : 0), unit
    }'
}

ratio() {
    a=$(cut -d' ' -f1 "$WORK/$1.times" | median)
    b=$(cut -d' ' -f1 "$WORK/$2.times" | median)
    awk -v a="$a" -v b="$b" -v text="$3" 'BEGIN { printf "  %s %.3f\n", text, (b > 0 ? a / b : 0) }'
}

# A whole-process row: RUNS pairs of old and new in turn.
row() {
    title=$1
    unit=$2
    shift 2
    echo "$title"
    rm -f "$WORK/old.times" "$WORK/new.times"
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        for build in old new; do
            dir=$OLD
            [ "$build" = new ] && dir=$NEW
            rm -f "$WORK/result.csv" # batch outputs and palettes are appended to
            timed "$build" "$dir/app/zul" "$@"
        done
        i=$((i + 1))
    done
    summary old "$unit"
    summary new "$unit"
    ratio new old "new/old wall:"
}

# A benchmark-program row: the median real time of its repetitions, old and new in turn.
bench_row() {
    title=$1
    program=$2
    filter=$3
    echo "$title"
    for build in old new; do rm -f "$WORK/$build.times"; done
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        for build in old new; do
            dir=$OLD
            [ "$build" = new ] && dir=$NEW
            "$dir/bench/$program" --benchmark_filter="$filter" --benchmark_repetitions=5 \
                --benchmark_report_aggregates_only=true --benchmark_format=csv \
                > "$WORK/$build.csv" 2> "$WORK/$build.bench.err"
            # CSV: name,iterations,real_time,cpu_time,time_unit,...; the median aggregate row.
            awk -F, '$1 ~ /_median"?$/ { print $3, $5 }' "$WORK/$build.csv" >> "$WORK/$build.times"
        done
        i=$((i + 1))
    done
    for build in old new; do
        t=$(cut -d' ' -f1 "$WORK/$build.times" | median)
        u=$(head -n 1 "$WORK/$build.times" | cut -d' ' -f2)
        echo "  $build   $t $u (median of $RUNS medians of 5 repetitions)"
    done
    ratio new old "new/old:"
}

echo "load average before: $(uptime)"
echo "old: $OLD"
echo "new: $NEW"
echo "runs: $RUNS of each, count: $COUNT"

# Inputs, written once; the same generators as the single-build scripts.
# The XYZ lines of bench/cli_throughput.sh (written by it once, with a run of the new build: a
# warm-up).
XYZ=$WORK/zul-cli-bench/xyz-$COUNT.csv
[ -s "$XYZ" ] || TMPDIR=$WORK sh "$HERE/cli_throughput.sh" "$NEW/app/zul" "$COUNT" > /dev/null 2>&1 ||
    true
for job in munsell xyz spectral; do
    # Writes the job's input file of COUNT records (and runs the job once on it: a warm-up).
    [ -s "$WORK/zul-batch-bench/$job-$COUNT.txt" ] || TMPDIR=$WORK sh "$HERE/batch_throughput.sh" "$job" "$COUNT" "$NEW/app/zul" > /dev/null 2>&1 ||
        true
done
INPUTS=$WORK/zul-batch-bench

echo
row "zul convert --from xyz, $COUNT lines" lines convert --from xyz "$XYZ"
if command -v node > /dev/null && [ -d "$PEER_MODULES/munsell" ]; then
    rm -f "$WORK/peer.times" "$WORK/zul.times"
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        NODE_PATH=$PEER_MODULES timed peer node "$HERE/peer/convert_xyz.js" "$XYZ"
        timed zul "$NEW/app/zul" convert --from xyz "$XYZ"
        i=$((i + 1))
    done
    echo "peer: the JavaScript library on the same lines, in turn with the new zul"
    summary peer lines
    summary zul lines
    ratio peer zul "zul speed / peer speed:"
else
    echo "peer: not run (node or $PEER_MODULES/munsell missing)"
fi

echo
bench_row "palette from a 12 MP picture in memory, n = 35, 2 workers" bench_imaging \
    'BM_PaletteFromPicture12MP/2/'

for job in munsell xyz spectral; do
    echo
    if [ "$job" = xyz ]; then
        row "zul batch $job (palette records), $COUNT records" records batch "$job" \
            -i "$INPUTS/$job-$COUNT.txt" --palette "$WORK/result.csv" \
            --time 2026-01-01T00:00:00
    else
        row "zul batch $job, $COUNT records" records batch "$job" \
            -i "$INPUTS/$job-$COUNT.txt" -o "$WORK/result.csv" --time 2026-01-01T00:00:00
    fi
done

echo
bench_row "palette viewer load, 10,000 records" bench_viewer 'BM_LoadPalette/10000/'

echo
echo "load average after: $(uptime)"
