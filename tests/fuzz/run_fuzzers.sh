#!/bin/sh
# Runs every fuzz program for SECONDS each (or until RUNS executions), niced: the machine is shared.
# Crashing inputs land in build-fuzz/crashes/<target>/; shrink them (-minimize_crash=1) and keep
# them under tests/fuzz/regressions/<target>/, where the test_fuzz program replays them.
# Usage: tests/fuzz/run_fuzzers.sh [SECONDS] [RUNS] [TARGET...]
set -u
seconds=${1:-60}
runs=${2:-0}
shift 2 2>/dev/null || shift $#
build=build-fuzz
bin=$build/tests/fuzz/libfuzzer
targets=${*:-options texts gamedat tga jpeg uv dscr itf prt countries level colours unpack cursor script}
[ -d "$build/corpus/options" ] || tests/fuzz/make_seeds.sh build/data "$build/corpus" || exit 1
mkdir -p "$build/logs"
# Undefined behaviour stops a run as a crash does, so that it leaves an input behind.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
printf '%-10s %12s %8s %s\n' target executions cov: result
for t in $targets; do
    mkdir -p "$build/crashes/$t" "$build/corpus/$t"
    log=$build/logs/$t.log
    nice -n 10 "$bin/fuzz_$t" "$build/corpus/$t" -max_total_time="$seconds" $( [ "$runs" -gt 0 ] && echo "-runs=$runs") \
        -rss_limit_mb=2048 -max_len=131072 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/crashes/$t/" > "$log" 2>&1
    code=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    result=ok
    [ "$code" -ne 0 ] && result="finding (exit $code), see $log"
    printf '%-10s %12s %8s %s\n' "$t" "${execs:-?}" "${cov:-?}" "$result"
done
