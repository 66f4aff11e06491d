# What the throughput scripts share; sourced by them (POSIX sh).

# bench_workdir NAME: makes the scratch folder ${TMPDIR:-/tmp}/zul-NAME-bench and prints its path.
bench_workdir() {
    set -- "${TMPDIR:-/tmp}/zul-$1-bench"
    mkdir -p "$1"
    printf '%s\n' "$1"
}

# bench_timing COUNT UNIT SECONDS KBYTES USER SYS: the elapsed, throughput and peak-memory lines
# of a run of COUNT UNIT timed by /usr/bin/time -f '%e %M %U %S'.
bench_timing() {
    awk -v n="$1" -v unit="$2" -v s="$3" -v kb="$4" -v user="$5" -v sys="$6" 'BEGIN {
    printf "elapsed:       %.2f s (CPU %.2f s user, %.2f s system)\n", s, user, sys
    printf "throughput:    %.0f %s/s\n", (s > 0 ? n / s : 0), unit
    printf "peak memory:   %.1f MB\n", kb / 1024
}'
}
