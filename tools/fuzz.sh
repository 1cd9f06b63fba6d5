#!/usr/bin/env bash
# Builds the fuzz targets (the `fuzz` preset: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, in the same build as the `asan` preset) and runs
# each for the given number of seconds, 30 when none is given; naming targets
# after the seconds runs only those:
#
#     tools/fuzz.sh [seconds [target...]]
#
# The seeds in tests/fuzz/corpus/<target> are read but never written to; what
# the fuzzer finds goes to build-asan/fuzz/<target>/corpus, and an input that
# crashes a target or breaks one of its invariants to build-asan/fuzz/<target>/
# (copy it into the seeds once the fault is mended, so it stays a regression
# input). ORNEX_FUZZ_JOBS=2 runs two targets at a time; ORNEX_FUZZ_RUNS=N
# stops a target after N executions if its time has not run out first. Exits
# non-zero when any target failed; the last lines name each target with its
# executions.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
jobs=${ORNEX_FUZZ_JOBS:-1}
runs=${ORNEX_FUZZ_RUNS:--1}

# Target, and the longest input worth trying: a settings block holds at most
# 10000 bytes, a voice file's slot 240044 (longer files are cut to it).
targets=(
    "fuzz_settings_block 12000"
    "fuzz_device_reply_lines 256"
    "fuzz_upload_echo 1024"
    "fuzz_settings_file 4096"
    "fuzz_voice_file 250000"
    "fuzz_bootloader_reply 64"
    "fuzz_usb_identity 512"
)

if [ "$#" -gt 0 ]; then
    chosen=()
    for name in "$@"; do
        found=
        for entry in "${targets[@]}"; do
            if [ "${entry%% *}" = "$name" ]; then
                chosen+=("$entry")
                found=1
            fi
        done
        if [ -z "$found" ]; then
            echo "fuzz.sh: no target named $name" >&2
            exit 2
        fi
    done
    targets=("${chosen[@]}")
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

run_target() {
    local name=$1 maxlen=$2
    local work=build-asan/fuzz/$name
    mkdir -p "$work/corpus"
    if ASAN_OPTIONS=detect_leaks=1 build-asan/tests/fuzz/"$name" \
        -max_total_time="$seconds" -runs="$runs" -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/" \
        "$work/corpus" tests/fuzz/corpus/"$name" >"$work/log" 2>&1; then
        echo "ok $name $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$work/log" | grep -o '[0-9]*$') executions"
    else
        echo "FAILED $name (see $work/log)"
        tail -n 30 "$work/log" >&2
        return 1
    fi
}

failed=0
running=0
for entry in "${targets[@]}"; do
    # shellcheck disable=SC2086
    run_target $entry &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
exit "$failed"
