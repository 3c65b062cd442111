#!/usr/bin/env bash
# Installs what is missing, builds everything once and runs every test, in these stages:
#   format  every C++ file checked against .clang-format (no file is changed)
#   build   one build of everything: the program, the print module, every test, the benchmarks
#           (built, not run) and the fuzz targets; clang, AddressSanitizer + UndefinedBehaviorSanitizer
#           everywhere, libFuzzer's coverage instrumentation in the libraries the fuzz targets
#           link, assertions on (no NDEBUG), warnings as errors
#   test    every test (core, gui, module) with ctest, under the sanitizers
#   fuzz    every libFuzzer target of that build for a bounded number of runs
# TARVELA_TEST_STAGES picks stages (default "format build test fuzz"); "test" and "fuzz" build
# what they need first when the build stage did not run. TARVELA_BUILD_DIR moves the build
# folder (default build-ci/). The stage names of earlier versions still work: "main" and "asan"
# are "build test".
# docs/fuzzing.md tells how to run the fuzz targets longer.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export LC_ALL=C.UTF-8

# Fuzz targets and their runs in CI, one target per core at a time. The runs were counted for
# about ten seconds each in an optimised build; the one build here is -O0, in which the slower
# targets stop at the time cap of six seconds instead, so the stage takes at most about a minute
# on two cores.
fuzz_runs=(
    fuzz_codec:20000
    fuzz_amount:60000
    fuzz_amount_lenient:60000
    fuzz_whole_lenient:60000
    fuzz_invoice_date:60000
    fuzz_split_cells:30000
    fuzz_paste_row:30000
    fuzz_invoice_read:8000
    fuzz_invoice_write:6000
    fuzz_period_readers:1500
    fuzz_settings:6000
    fuzz_bank_gpc:20000
    fuzz_bank_camt:8000
    fuzz_ares_subject:20000
    fuzz_cnb_rates:20000
    fuzz_invoice_book:1500
    fuzz_customer_book:1500
    fuzz_eet_answer:3000
    fuzz_report_rows:400
)
fuzz_time_cap=6

banner() { printf '\n=== %s ===\n' "$*"; }

# A new build folder is made with Ninja, which keeps both cores busy across targets; a folder made
# before keeps the generator it was made with.
generator() {
    if [ ! -f "$1/CMakeCache.txt" ] && command -v ninja >/dev/null; then
        echo "-G Ninja"
    fi
}

stage_format() {
    banner "format: every C++ file as .clang-format has it"
    local files
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
    clang-format --dry-run --Werror "${files[@]}"
    passed=$((passed + 1))
}

build=${TARVELA_BUILD_DIR:-build-ci}

# Configures the one build folder (once) and builds the given targets (everything by default).
# clang, because one build then serves the tests and the fuzz targets alike (libFuzzer is clang's)
# and its precompiled headers are a fraction of GCC's. -O0 without debug information: compiling
# is most of the time, and the sanitizers need no more. No -DNDEBUG: the program's assertions run.
build_targets() {
    if [ ! -f "$build/CMakeCache.txt" ]; then
        CC=clang CXX=clang++ cmake -S . -B "$build" $(generator "$build") \
            -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0" -DTARVELA_WERROR=ON \
            -DTARVELA_SANITIZE=ON -DTARVELA_BUILD_FUZZ=ON
    fi
    cmake --build "$build" -j "$jobs" ${1:+--target "$@"}
}

stage_build() {
    banner "build: the program, every test, the benchmarks and the fuzz targets in $build"
    build_targets
}

stage_test() {
    banner "test: every test under AddressSanitizer and UBSan, assertions on, in $build"
    build_targets tarvela_core_tests tarvela_gui_tests tarvela_module_tests
    # Leaks inside the libraries below the program that keep their caches for the life of the
    # process are suppressed (scripts/lsan.supp); any other leak fails the test.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
        LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir "$build" --output-on-failure -j "$jobs" | tee "$build/ctest.log"
    local ran
    ran=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$build/ctest.log")
    passed=$((passed + ${ran:-0}))
}

stage_main() { stage_build && stage_test; }
stage_asan() { stage_main; }

stage_fuzz() {
    banner "fuzz: bounded runs of every target in $build"
    build_targets tarvela_fuzz
    local scratch entry target runs artifacts="$build/fuzz-artifacts"
    scratch=$(mktemp -d)
    mkdir -p "$artifacts"
    # One target per core at a time; each fuzzer runs on one core.
    local -A running=()
    fuzz_reap() {
        local pid status=0 done_target
        wait -n -p pid || status=$?
        done_target=${running[$pid]}
        unset "running[$pid]"
        if [ "$status" -ne 0 ]; then
            [ ${#running[@]} -eq 0 ] || kill "${!running[@]}" 2>/dev/null || true
            cat "$scratch/$done_target.log" >&2
            echo "fuzz target $done_target failed; the input is kept in $artifacts" >&2
            return 1
        fi
        banner "fuzz: $done_target"
        grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$scratch/$done_target.log"
        passed=$((passed + 1))
    }
    for entry in "${fuzz_runs[@]}"; do
        while [ ${#running[@]} -ge "$jobs" ]; do fuzz_reap; done
        target=${entry%%:*}
        runs=${entry##*:}
        # New inputs go to a scratch corpus; the seeds in the repository are only read.
        mkdir -p "$scratch/$target"
        "$build/fuzz/$target" -runs="$runs" -max_total_time="$fuzz_time_cap" \
            -artifact_prefix="$artifacts/$target-" -print_final_stats=1 \
            "$scratch/$target" "fuzz/corpus/$target" >"$scratch/$target.log" 2>&1 &
        running[$!]=$target
    done
    while [ ${#running[@]} -gt 0 ]; do fuzz_reap; done
    rm -rf "$scratch"
}

scripts/install-deps.sh test

# Every CTest test and every fuzz target that passed; a failure
# ends the script before the summary.
# The CPU seconds (user and system) of every process this script has waited for, its stages'
# compilers and tests among them: on a shared machine their sum over two cores estimates the time
# on an idle one better than the elapsed time does.
cpu_file=$(mktemp)
trap 'rm -f "$cpu_file"' EXIT
children_cpu() { # sets cpu to those whole seconds so far (no subshell: it would count its own)
    local user system t seconds
    times >"$cpu_file"
    { read -r _ && read -r user system; } <"$cpu_file"
    cpu=0
    for t in "$user" "$system"; do # 12m3.456s
        seconds=${t#*m}
        cpu=$((cpu + ${t%%m*} * 60 + 10#${seconds%%.*}))
    done
}

passed=0
for stage in ${TARVELA_TEST_STAGES:-format build test fuzz}; do
    started=$SECONDS
    children_cpu
    cpu_started=$cpu
    "stage_$stage"
    children_cpu
    echo "stage $stage took $((SECONDS - started)) s, $((cpu - cpu_started)) CPU s"
done
children_cpu
banner "all stages passed"
echo "checks: $passed passed, 0 failed"
echo "time: $SECONDS s, $cpu CPU s"
