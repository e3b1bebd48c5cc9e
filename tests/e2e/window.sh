#!/usr/bin/env bash
# The demo in a real window under Xvfb, started without arguments: it shows the dark blue
# picture with the overlay and ends with status 0 when Escape is held ("escape") or when the
# window is asked to close as by a window manager's close button ("close"). With Escape held
# from before the start ("held-at-start") it ends without drawing a frame. It draws with four
# threads (SOFTCUBE_THREADS), so the workers are running, or asleep between frames, when the
# request to end arrives.
# Exits 77 (skipped) when Xvfb or the X tools are not available.
# Usage: window.sh SOFTCUBE SEND_CLOSE_REQUEST escape|close|held-at-start ASSETS_DIR WORK_DIR
set -u
softcube=$1
send_close_request=$2
mode=$3
. "$(dirname "$0")/common.sh"
prepare_work_dir "$4" "$5"

start_window_test Xvfb xdotool import convert

if [ "$mode" = held-at-start ]; then
    # A fake key stays down only while the xdotool that pressed it runs.
    xdotool keydown Escape sleep 6 keyup Escape &
    sleep 0.5
    "$softcube" --screenshot held.png >stdout.txt 2>stderr.txt &
    app_pid=$!
    wait_for_exit "starting with Escape held"
    # No frame drawn: the framebuffer is still all zero bytes.
    [ "$(colours_in held.png 800x600+0+0)" = "0,0,0" ] || fail "a frame was drawn although Escape was held"
    echo "window test ($mode) passed"
    exit 0
fi

SOFTCUBE_THREADS=4 "$softcube" >stdout.txt 2>stderr.txt &
app_pid=$!

# SDL may replace its first window by one of another visual as it makes the renderer, so a
# window found a moment too early can be gone: it is looked for again.
for _ in 1 2 3; do
    wait_for_window '^softcube$'
    geometry=$(xwininfo -id "$window" 2>/dev/null | sed -n 's/^ *-geometry \([0-9]*x[0-9]*\).*/\1/p')
    [ -n "$geometry" ] && break
    sleep 0.3
done
[ "$geometry" = "800x600" ] || fail "the window is $geometry, expected 800x600"

sleep 0.5
threads=$(sed -n 's/^Threads:[[:space:]]*//p' "/proc/$app_pid/status" 2>/dev/null)
[ "${threads:-0}" -ge 4 ] || fail "softcube runs ${threads:-no} threads, expected the main thread and three workers at least"
import -window "$window" window.png 2>/dev/null || fail "cannot capture the window"
check_frame window.png PNG any-angle

case "$mode" in
escape)
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool keydown Escape
    sleep 0.3
    xdotool keyup Escape
    ;;
close)
    "$send_close_request" "$window" || fail "cannot send the close request"
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac

wait_for_exit "the $mode request"

echo "window test ($mode) passed"
