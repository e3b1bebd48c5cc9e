#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in a build directory of their own and runs them:
# a short fixed smoke run of each (part of the test suite), or longer runs that grow a
# working corpus, with their execution counts.
#
#   scripts/fuzz.sh build [BUILD_DIR]          configure and build the fuzz targets
#   scripts/fuzz.sh smoke [BUILD_DIR]          build, then each target a fixed number of runs
#                                              on its committed seeds (seeded, repeatable)
#   scripts/fuzz.sh long SECONDS [TARGET...]   build, then each target SECONDS in turn
#   scripts/fuzz.sh runs COUNT [TARGET...]     build, then each target COUNT executions in turn
#   scripts/fuzz.sh merge [TARGET...]          minimise the working corpus into fuzz/corpus/
#
# BUILD_DIR defaults to $FUZZ_BUILD or build-fuzz. Findings are written to BUILD_DIR/artifacts/;
# reproduce one with: BUILD_DIR/fuzz/fuzz_<target> ARTIFACT
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
targets_all=(texture_load raster formatted_print model_obj model_gltf command_line)
# Smoke runs per target: a few seconds each with the sanitizers on.
declare -A smoke_runs=([texture_load]=150000 [raster]=30000 [formatted_print]=80000 [model_obj]=5000 [model_gltf]=5000
                       [command_line]=100000)
# Longest input per target where libFuzzer's default (the largest seed, at least 4096 bytes)
# is too short: glTF nesting has to go far past the 512 levels the loader accepts, and about
# 20,000 levels (40 KB) is where tinygltf's own recursion would overflow the stack.
declare -A max_len=([model_gltf]=65536)
# No input may take longer than this many seconds (an ordinary one takes well under a millisecond).
timeout_s=${FUZZ_TIMEOUT:-10}
jobs=${FUZZ_JOBS:-2}

die() {
    echo "fuzz.sh: $*" >&2
    exit 1
}

build() {
    local dir=$1
    command -v clang++ >/dev/null || die "clang++ is not installed (scripts/setup.sh installs it)"
    cmake -S "$source_dir" -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOFTCUBE_FUZZ=ON -DSOFTCUBE_TESTS=OFF -DSOFTCUBE_BENCH=OFF \
        >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log" >&2; die "configuring $dir failed"; }
    local t
    for t in "${targets_all[@]}"; do
        cmake --build "$dir" -j "$jobs" --target "fuzz_$t" >"$dir.build.log" 2>&1 ||
            { tail -40 "$dir.build.log" >&2; die "building fuzz_$t failed"; }
    done
}

# run_target DIR TARGET ARGS...: one libFuzzer run with a scratch corpus first (new inputs go
# there, the committed seeds stay untouched); prints the run's figures.
run_target() {
    local dir=$1 t=$2
    shift 2
    local work=$dir/corpus/$t log=$dir/logs/$t.log
    mkdir -p "$work" "$dir/logs" "$dir/artifacts"
    local status=0 started
    started=$(date +%s%N)
    local length=()
    [ -n "${max_len[$t]:-}" ] && length=(-max_len="${max_len[$t]}")
    "$dir/fuzz/fuzz_$t" "$work" "$source_dir/fuzz/corpus/$t" -timeout="$timeout_s" "${length[@]}" \
        -artifact_prefix="$dir/artifacts/$t-" -print_final_stats=1 "$@" >"$log" 2>&1 || status=$?
    local elapsed_ms runs rate=?
    elapsed_ms=$((($(date +%s%N) - started) / 1000000))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    [ -n "$runs" ] && rate=$((runs * 1000 / (elapsed_ms > 0 ? elapsed_ms : 1)))
    if [ "$status" -ne 0 ]; then
        grep -E 'ERROR|runtime error|SUMMARY|Test unit written|deadly signal|timeout' "$log" | head -20 >&2 || true
        echo "fuzz_$t: FINDING (status $status) after ${runs:-?} runs; log $log" >&2
        return 1
    fi
    echo "fuzz_$t: ${runs:-?} runs in $((elapsed_ms / 1000)).$(printf %03d $((elapsed_ms % 1000))) s ($rate per second), $(find "$work" -type f | wc -l) files in the working corpus, no finding"
}

mode=${1:-}
case "$mode" in
build)
    build "${2:-${FUZZ_BUILD:-build-fuzz}}"
    ;;
smoke)
    dir=${2:-${FUZZ_BUILD:-build-fuzz}}
    build "$dir"
    failed=0
    for t in "${targets_all[@]}"; do
        # A fresh scratch corpus each time keeps the smoke run the same from one run to the next.
        rm -rf "$dir/corpus/$t"
        run_target "$dir" "$t" -runs="${smoke_runs[$t]}" -seed=1 || failed=1
    done
    exit "$failed"
    ;;
long | runs)
    amount=${2:-}
    [[ "$amount" =~ ^[0-9]+$ ]] || die "usage: scripts/fuzz.sh $mode $([ "$mode" = long ] && echo SECONDS || echo COUNT) [TARGET...]"
    shift 2
    limit=-max_total_time=$amount
    [ "$mode" = runs ] && limit=-runs=$amount
    dir=${FUZZ_BUILD:-build-fuzz}
    build "$dir"
    selected=("$@")
    [ ${#selected[@]} -eq 0 ] && selected=("${targets_all[@]}")
    failed=0
    for t in "${selected[@]}"; do
        run_target "$dir" "$t" "$limit" || failed=1
    done
    exit "$failed"
    ;;
merge)
    shift
    dir=${FUZZ_BUILD:-build-fuzz}
    selected=("$@")
    [ ${#selected[@]} -eq 0 ] && selected=("${targets_all[@]}")
    for t in "${selected[@]}"; do
        [ -d "$dir/corpus/$t" ] || die "no working corpus $dir/corpus/$t: run 'long' first"
        "$dir/fuzz/fuzz_$t" -merge=1 "$source_dir/fuzz/corpus/$t" "$dir/corpus/$t" >"$dir/logs/$t.merge.log" 2>&1 ||
            die "merging $t failed; see $dir/logs/$t.merge.log"
        echo "fuzz/corpus/$t: $(find "$source_dir/fuzz/corpus/$t" -type f | wc -l) inputs"
    done
    ;;
*)
    sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
