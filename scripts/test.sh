#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, in these stages:
#   format  every C++ file checked against .clang-format (no file is changed)
#   main  the whole program, its tests and benchmarks, warnings as errors, run with ctest (build/)
#   asan  every test again (core, gui, module) under AddressSanitizer + UndefinedBehaviorSanitizer,
#         built without NDEBUG so that the program's assertions run too        (build-asan/)
#   fuzz  every libFuzzer target for a bounded number of runs (clang)         (build-fuzz/)
# TARVELA_TEST_STAGES picks stages (default "format main asan fuzz"); TARVELA_BUILD_DIR,
# TARVELA_ASAN_BUILD_DIR and TARVELA_FUZZ_BUILD_DIR move the build folders.
# docs/fuzzing.md tells how to run the fuzz targets longer.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export LC_ALL=C.UTF-8

# Fuzz targets and their runs in CI: about ten seconds each on an idle machine, one target per
# core at a time. Each run is also capped in time so that a loaded machine cannot stretch the
# runs beyond a minute and a half on two cores.
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
fuzz_time_cap=10

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

stage_main() {
    local build=${TARVELA_BUILD_DIR:-build}
    banner "main: build and ctest in $build"
    # Optimised as released, without debug information: it builds and links much faster.
    cmake -S . -B "$build" $(generator "$build") -DCMAKE_BUILD_TYPE=Release -DTARVELA_WERROR=ON \
        -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG"
    cmake --build "$build" -j "$jobs"
    ctest --test-dir "$build" --output-on-failure -j "$jobs" | tee "$build/ctest.log"
    local ran
    ran=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$build/ctest.log")
    passed=$((passed + ${ran:-0}))
}

stage_asan() {
    local build=${TARVELA_ASAN_BUILD_DIR:-build-asan}
    banner "asan: every test under AddressSanitizer and UBSan, assertions on, in $build"
    # -O0 without debug information: the sanitizers need no more. With UBSan, -O1 costs about 1.6
    # times the compile time of -O0 (13 s against 8 s for a window test), and compiling is most of
    # this stage; the tests themselves run in about a minute either way.
    # No -DNDEBUG: this is the stage in which the program's assertions run.
    cmake -S . -B "$build" $(generator "$build") -DCMAKE_BUILD_TYPE=Debug -DTARVELA_SANITIZE=ON \
        -DTARVELA_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS_DEBUG="-O0"
    # The tests of every layer, picked by their labels; the print module reload test among them.
    # The documents' PDF content test (every kind rendered and read back, a minute in the main
    # stage) is left out here: the module's code it runs is the one the other module tests run.
    cmake --build "$build" -j "$jobs" --target tarvela_core_tests tarvela_gui_tests \
        tarvela_module_tests
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
        LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir "$build" --output-on-failure -j "$jobs" -L '^(core|gui|module)$' \
        -E '^test_documents_pdf$' \
        | tee "$build/ctest.log"
    local ran
    ran=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$build/ctest.log")
    passed=$((passed + ${ran:-0}))
}

stage_fuzz() {
    local build=${TARVELA_FUZZ_BUILD_DIR:-build-fuzz}
    banner "fuzz: bounded runs of every target in $build"
    # Line tables are all the debug information a fuzzer's report needs to name the lines. The
    # default linker: linked with lld, fuzz_eet_answer's leak check at exit reports memory that
    # OpenSSL keeps as leaked (not understood yet; the links here are few and small).
    CC=clang CXX=clang++ cmake -S . -B "$build" $(generator "$build") \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" \
        -DTARVELA_BUILD_FUZZ=ON -DTARVELA_BUILD_TESTS=OFF -DTARVELA_BUILD_BENCH=OFF -DTARVELA_LLD=OFF
    cmake --build "$build" -j "$jobs" --target tarvela_fuzz
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

# Every CTest test, every sanitizer test program and every fuzz target that passed; a failure
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
for stage in ${TARVELA_TEST_STAGES:-format main asan fuzz}; do
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
