#!/bin/sh
# tools/fuzz.sh [TARGET] [SECONDS]
# Builds the `fuzz` preset and runs each fuzz target (or only TARGET, e.g. numtext, or a
# comma-separated list of targets, run in that order) for SECONDS
# (default 60) on a scratch copy of its seed corpus, two targets at a time (JOBS=n to change).
# New inputs that found new paths land in build-fuzz/corpus/<target>/; a crash, leak or
# sanitizer report stops that target and leaves crash-* files in build-fuzz/findings/<target>/.
# A summary line per target (executions, result) goes to build-fuzz/fuzz-summary.txt.
set -e
cd "$(dirname "$0")/.."
target="${1:-all}"
seconds="${2:-60}"
jobs="${JOBS:-2}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

if [ "$target" = all ]; then
    targets=$(ls tests/fuzz/corpus)
else
    targets=$(echo "$target" | tr ',' ' ')
fi

run_one() {
    name="$1"
    work="build-fuzz/corpus/$name"
    findings="build-fuzz/findings/$name"
    mkdir -p "$work" "$findings"
    log="build-fuzz/findings/$name.log"
    status=0
    # Inputs up to the largest seed and a little more (libFuzzer's own limit is 4 KB, less
    # than a renotation table file).
    largest=$(find "tests/fuzz/corpus/$name" -type f -printf '%s\n' | sort -n | tail -n 1)
    maxlen=$((${largest:-0} + 1024))
    [ "$maxlen" -ge 4096 ] || maxlen=4096
    build-fuzz/tests/fuzz/fuzz_"$name" "$work" "tests/fuzz/corpus/$name" \
        -max_total_time="$seconds" -artifact_prefix="$findings/" -print_final_stats=1 \
        -rss_limit_mb=2048 -max_len="$maxlen" -timeout=10 >"$log" 2>&1 || status=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ "$status" -eq 0 ]; then result="no findings"; else result="FOUND A FAULT (see $log)"; fi
    echo "$name: ${execs:-?} executions in ${seconds} s, $result" | tee -a build-fuzz/fuzz-summary.txt
    return "$status"
}

: >build-fuzz/fuzz-summary.txt
failed=0
set -- $targets
while [ $# -gt 0 ]; do
    pids=""
    i=0
    while [ $# -gt 0 ] && [ "$i" -lt "$jobs" ]; do
        run_one "$1" &
        pids="$pids $!"
        shift
        i=$((i + 1))
    done
    for p in $pids; do
        wait "$p" || failed=1
    done
done
exit "$failed"
