#!/usr/bin/env bash
# Builds the fuzz targets of the file readers with clang and runs each for SECONDS on its corpus.
#
#   bash tools/fuzz.sh SECONDS [TARGET...]
#
# A target NAME is the program build-fuzz/tests/fuzz/fuzz_NAME with its seeds in
# tests/fuzz/corpus/NAME and, when there is one, the dictionary tests/fuzz/dict/NAME.dict; without
# TARGET arguments every folder of tests/fuzz/corpus is run. New corpus entries, the logs and any
# failing input go to build-fuzz/fuzz-scratch/NAME (TRABEX_FUZZ_SCRATCH overrides the folder);
# the committed corpus is only read. Exits non-zero when a target found a crash, a hang, a leak,
# an out-of-memory or a sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
    echo "usage: bash tools/fuzz.sh SECONDS [TARGET...]" >&2
    exit 2
fi
RUN_SECONDS=$1
shift

BUILD=$ROOT/build-fuzz
SCRATCH=${TRABEX_FUZZ_SCRATCH:-$BUILD/fuzz-scratch}
# Limits of every run: an input that takes longer than TIMEOUT_SECONDS is a hang; the process may
# hold RSS_LIMIT_MB and take MALLOC_LIMIT_MB in one allocation.
TIMEOUT_SECONDS=1
RSS_LIMIT_MB=2048
MALLOC_LIMIT_MB=2048
# Targets running at the same time, each a single libFuzzer job and worker.
PARALLEL=2

if [ $# -gt 0 ]; then
    TARGETS=("$@")
else
    TARGETS=()
    for dir in "$ROOT"/tests/fuzz/corpus/*/; do
        TARGETS+=("$(basename "$dir")")
    done
fi

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTRABEX_FUZZ=ON -DTRABEX_GUI=OFF -DTRABEX_BENCH=OFF >/dev/null
programs=()
for t in "${TARGETS[@]}"; do
    programs+=("fuzz_$t")
done
cmake --build "$BUILD" -j "$(nproc)" --target "${programs[@]}"

# Runs one target; its exit status is libFuzzer's (non-zero on any finding).
run_target() {
    local name=$1
    local program=$BUILD/tests/fuzz/fuzz_$name
    local work=$SCRATCH/$name
    mkdir -p "$work/corpus" "$work/artifacts"
    rm -f "$work"/fuzz-*.log
    local dict=()
    [ -f "$ROOT/tests/fuzz/dict/$name.dict" ] && dict=("-dict=$ROOT/tests/fuzz/dict/$name.dict")
    # With -jobs, libFuzzer writes the job's output to fuzz-0.log in the current folder.
    (cd "$work" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 "$program" \
        -max_total_time="$RUN_SECONDS" -timeout="$TIMEOUT_SECONDS" -rss_limit_mb="$RSS_LIMIT_MB" \
        -malloc_limit_mb="$MALLOC_LIMIT_MB" -jobs=1 -workers=1 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/" "${dict[@]}" \
        "$work/corpus" "$ROOT/tests/fuzz/corpus/$name" >"$work/driver.log" 2>&1)
}

# Prints what a finished target did: its last status line and, on failure, the report.
report_target() {
    local name=$1 status=$2
    local work=$SCRATCH/$name log=$SCRATCH/$name/fuzz-0.log
    local corpus_files
    corpus_files=$(find "$work/corpus" -type f | wc -l)
    if [ "$status" -eq 0 ]; then
        echo "fuzz $name: passed; $(grep -E '^#[0-9]+' "$log" | tail -n 1 | tr -s ' ')"
        echo "fuzz $name: $corpus_files new corpus files in $work/corpus"
    else
        echo "fuzz $name: FAILED (exit $status); the report:"
        if [ -f "$log" ]; then
            grep -v -E '^#[0-9]+' "$log" | tail -n 60
        else
            tail -n 60 "$work/driver.log"
        fi
        echo "fuzz $name: failing inputs:"
        ls -1 "$work/artifacts"
    fi
}

declare -A pids=()
failed=0
# Waits for one running target and reports it.
wait_one() {
    local done_pid status=0
    wait -n -p done_pid "${!pids[@]}" || status=$?
    local name=${pids[$done_pid]}
    unset "pids[$done_pid]"
    report_target "$name" "$status"
    [ "$status" -eq 0 ] || failed=1
}

for name in "${TARGETS[@]}"; do
    if [ ! -d "$ROOT/tests/fuzz/corpus/$name" ]; then
        echo "fuzz: no corpus folder tests/fuzz/corpus/$name" >&2
        exit 2
    fi
    while [ "${#pids[@]}" -ge "$PARALLEL" ]; do
        wait_one
    done
    echo "fuzz $name: running for $RUN_SECONDS s"
    run_target "$name" &
    pids[$!]=$name
done
while [ "${#pids[@]}" -gt 0 ]; do
    wait_one
done

if [ "$failed" -ne 0 ]; then
    echo "fuzz: a target found a fault; its input is in $SCRATCH/NAME/artifacts" >&2
    exit 1
fi
echo "fuzz: every target passed"
