#!/usr/bin/env bash
# Runs the demo headless under valgrind's memcheck from a copy of assets/ and fails on any
# invalid access, use of an uninitialised value or definitely lost block.
#
#   scripts/valgrind.sh [BUILD_DIR] [FRAMES]     defaults: build-valgrind, 30 frames
#
# BUILD_DIR is configured as RelWithDebInfo (optimised, with line numbers in the reports)
# when it does not exist yet. The full report is kept in BUILD_DIR/valgrind/memcheck.log.
set -euo pipefail

build_dir=${1:-build-valgrind}
frames=${2:-30}
[[ "$frames" =~ ^[0-9]+$ ]] || { echo "valgrind.sh: FRAMES must be a number" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "valgrind.sh: valgrind is not installed (scripts/setup.sh installs it)" >&2; exit 1; }

source "$(dirname "$0")/demo_run.sh"
prepare_demo_run "$build_dir" valgrind -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOFTCUBE_TESTS=OFF -DSOFTCUBE_BENCH=OFF

log=$work/memcheck.log

# Definite leaks count as errors; memory still referenced at exit does not (the scene's
# objects live until the process ends by design).
status=0
(cd "$work/assets" && valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite --track-origins=yes --error-exitcode=3 --log-file="$log" \
    "$program" --headless --frames "$frames" >"$work/stdout.txt" 2>"$work/stderr.txt") || status=$?

errors=$(sed -n 's/^==[0-9]*== ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$log" | tail -1)
definite=$(sed -n 's/^==[0-9]*== *definitely lost: \([0-9,]*\) bytes.*/\1/p' "$log" | tail -1)
indirect=$(sed -n 's/^==[0-9]*== *indirectly lost: \([0-9,]*\) bytes.*/\1/p' "$log" | tail -1)
possible=$(sed -n 's/^==[0-9]*== *possibly lost: \([0-9,]*\) bytes.*/\1/p' "$log" | tail -1)
reachable=$(sed -n 's/^==[0-9]*== *still reachable: \([0-9,]*\) bytes.*/\1/p' "$log" | tail -1)
grep -q "All heap blocks were freed" "$log" && { definite=0; indirect=0; possible=0; reachable=0; }

echo "memcheck, $frames headless frames: ${errors:-?} errors, definitely lost ${definite:-0} bytes," \
     "indirectly lost ${indirect:-0}, possibly lost ${possible:-0}, still reachable ${reachable:-0}; exit status $status"
echo "report: $log"
if [ "$status" -ne 0 ] || [ "${errors:-1}" != "0" ]; then
    sed -n '/== Invalid\|== Conditional\|== Use of\|definitely lost in/,+12p' "$log" | head -60 >&2
    echo "valgrind.sh: FAILED" >&2
    exit 1
fi
