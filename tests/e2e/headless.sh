#!/usr/bin/env bash
# Offscreen runs: the statistics line on stdout and the last frame as PNG and as BMP.
# Usage: headless.sh SOFTCUBE ASSETS_DIR WORK_DIR
set -u
softcube=$1
. "$(dirname "$0")/common.sh"
prepare_work_dir "$2" "$3"

"$softcube" --headless --frames 3 --screenshot out.png >stdout.txt 2>stderr.txt
status=$?
[ "$status" -eq 0 ] || fail "--headless --frames 3 exited with $status: $(cat stderr.txt)"
[ "$(wc -l <stdout.txt)" -eq 1 ] || fail "expected one statistics line, got: $(cat stdout.txt)"
line_pattern='^       3 Frames / .{6} FPS / .{11} ms per Frame / .{4} Tiangles / .{8} Pixels$'
grep -Eq "$line_pattern" stdout.txt || fail "statistics line not as expected: '$(cat stdout.txt)'"
compgen -G 'out.png.*' >/dev/null && fail "a temporary file was left behind: $(echo out.png.*)"
check_frame out.png PNG

"$softcube" --headless --frames 1 --screenshot out.bmp >/dev/null 2>stderr.txt ||
    fail "--screenshot out.bmp failed: $(cat stderr.txt)"
check_frame out.bmp BMP3  # the 40-byte information header
grep -Eq '^       1 Frames' <("$softcube" --headless --frames 1) || fail "frame count of a one-frame run is not 1"

# Offscreen runs never touch a display, not even a broken one.
DISPLAY=:nonexistent "$softcube" --headless --frames 2 >/dev/null 2>stderr.txt ||
    fail "--headless with a broken DISPLAY failed: $(cat stderr.txt)"
grep -qi 'display\|window' stderr.txt && fail "--headless spoke of the display: $(cat stderr.txt)"

echo "headless runs passed"
