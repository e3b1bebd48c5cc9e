#!/usr/bin/env bash
# Soak run: the demo headless for many frames, its resident memory sampled from /proc while
# it runs. Reports the resident size near frame 1,000 and at the end, and fails when it grew
# by more than the tolerance in between (a leak of a few bytes per frame shows).
#
#   scripts/soak.sh [BUILD_DIR] [FRAMES]     defaults: build, 100000 frames
#
# The program prints nothing per frame, so a sample's frame number is estimated from its time:
# every frame does the same work, so frames are spread evenly over the run. Samples are kept in
# BUILD_DIR/soak/rss.txt (milliseconds since start, VmRSS kB, VmHWM kB).
set -euo pipefail

build_dir=${1:-build}
frames=${2:-100000}
tolerance_kb=${SOAK_TOLERANCE_KB:-256}
[[ "$frames" =~ ^[0-9]+$ ]] && [ "$frames" -ge 2000 ] || { echo "soak.sh: FRAMES must be a number of at least 2000" >&2; exit 2; }

source "$(dirname "$0")/demo_run.sh"
prepare_demo_run "$build_dir" soak -DCMAKE_BUILD_TYPE=Release

samples=$work/rss.txt
: >"$samples"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

started=$(now_ms)
(cd "$work/assets" && exec "$program" --headless --frames "$frames" >"$work/stdout.txt" 2>"$work/stderr.txt") &
pid=$!
while kill -0 "$pid" 2>/dev/null; do
    if status=$(cat "/proc/$pid/status" 2>/dev/null); then
        rss=$(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' <<<"$status")
        hwm=$(sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' <<<"$status")
        [ -n "$rss" ] && echo "$(($(now_ms) - started)) $rss $hwm" >>"$samples"
    fi
    sleep 0.1
done
exit_status=0
wait "$pid" || exit_status=$?
total_ms=$(($(now_ms) - started))
[ "$exit_status" -eq 0 ] || { echo "soak.sh: softcube exited with $exit_status: $(cat "$work/stderr.txt")" >&2; exit 1; }

# The first sample at or past frame 1,000, and the last sample taken.
read -r early_ms early_rss _ < <(awk -v f="$frames" -v t="$total_ms" '$1 * f >= 1000 * t { print; exit }' "$samples")
read -r late_ms late_rss late_hwm < <(tail -1 "$samples")
[ -n "${early_rss:-}" ] && [ -n "${late_rss:-}" ] || { echo "soak.sh: too few samples in $samples" >&2; exit 1; }
early_frame=$((early_ms * frames / total_ms))
late_frame=$((late_ms * frames / total_ms))
growth=$((late_rss - early_rss))

echo "soak, $frames headless frames in $((total_ms / 1000)) s: resident ${early_rss} kB near frame ${early_frame}," \
     "${late_rss} kB near frame ${late_frame} (change ${growth} kB, peak ${late_hwm} kB)"
echo "last overlay: $(tail -1 "$work/stdout.txt")"
if [ "$growth" -gt "$tolerance_kb" ]; then
    echo "soak.sh: resident memory grew by ${growth} kB (tolerance ${tolerance_kb} kB)" >&2
    exit 1
fi
