#!/usr/bin/env bash
# A model in a real window under Xvfb driven by real key presses: the title names the model
# and its modes; F12 writes numbered pictures after the --screenshot name (shot-0001.png,
# shot-0002.png, ...), never overwriting one, and the final picture goes to shot.png itself;
# W turns the wireframe on, and the next screenshot shows far fewer model pixels than the one
# before; Space pauses, so two screenshots in a row then show one picture; Escape ends the
# program with status 0.
# Exits 77 (skipped) when Xvfb or the X tools are not available.
# Usage: window_model_keys.sh SOFTCUBE ASSETS_DIR WORK_DIR
set -u
softcube=$1
. "$(dirname "$0")/common.sh"
prepare_work_dir "$2" "$3"

start_window_test Xvfb xdotool convert compare

"$softcube" --model models/torus.obj --screenshot shot.png >stdout.txt 2>stderr.txt &
app_pid=$!

wait_for_window '^softcube - torus.obj \[textured\]$'
xdotool windowfocus --sync "$window" 2>/dev/null



# model_pixels FILE: pixels below the overlay row that are not background.
model_pixels() {
    [ -f background.png ] || convert -size 800x592 xc:'rgb(0,0,16)' background.png
    convert "$1" -crop 800x592+0+8 +repage below.png
    compare -metric AE below.png background.png null: 2>&1
}

f12_picture filled.png
press w
sleep 0.3
f12_picture wire.png
xdotool search --name '^softcube - torus.obj \[textured, wireframe\]$' >/dev/null ||
    fail "the title does not name the wireframe: $(xdotool getwindowname "$window")"
filled=$(model_pixels filled.png)
wire=$(model_pixels wire.png)
[ "$filled" -gt 20000 ] || fail "the filled torus covers only $filled pixels"
[ "$wire" -lt $((filled / 3)) ] || fail "after W the torus still covers $wire pixels (filled: $filled)"

press space
sleep 0.3
f12_picture paused1.png
sleep 0.3
f12_picture paused2.png
xdotool search --name '^softcube - torus.obj \[textured, wireframe, paused\]$' >/dev/null ||
    fail "the title does not say paused: $(xdotool getwindowname "$window")"
differing=$(convert paused1.png -crop 800x592+0+8 +repage a.png &&
    convert paused2.png -crop 800x592+0+8 +repage b.png && compare -metric AE a.png b.png null: 2>&1)
[ "$differing" = "0" ] || fail "paused, the picture still changes ($differing pixels)"

press Escape
wait_for_exit Escape
# The final picture went to the name itself and left the numbered ones as they were.
[ -s shot.png ] || fail "the final picture was not written to shot.png"
cmp -s shot-0004.png paused2.png || fail "the final picture changed an F12 picture"
[ ! -e shot-0005.png ] || fail "more F12 pictures than presses"
echo "model window keys passed"
