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

# press KEY: one real press and release.
press() {
    xdotool keydown "$1"
    sleep 0.1
    xdotool keyup "$1"
}

# screenshot NAME: F12, then wait for the program to say it wrote the next numbered picture;
# keeps a copy.
shots=0
screenshot() {
    shots=$((shots + 1))
    local numbered
    numbered=$(printf 'shot-%04d.png' "$shots")
    press F12
    for _ in $(seq 50); do
        grep -q "written to $numbered\$" stdout.txt && break
        sleep 0.1
    done
    grep -q "written to $numbered\$" stdout.txt || fail "F12 wrote no $numbered ($1): $(cat stdout.txt)"
    cp "$numbered" "$1"
}

# model_pixels FILE: pixels below the overlay row that are not background.
model_pixels() {
    local all background
    all=$((800 * 592))
    background=$(count_colour "$1" 800x592+0+8 "0,0,16")
    echo $((all - background))
}

screenshot filled.png
press w
sleep 0.3
screenshot wire.png
xdotool search --name '^softcube - torus.obj \[textured, wireframe\]$' >/dev/null ||
    fail "the title does not name the wireframe: $(xdotool getwindowname "$window")"
filled=$(model_pixels filled.png)
wire=$(model_pixels wire.png)
[ "$filled" -gt 20000 ] || fail "the filled torus covers only $filled pixels"
[ "$wire" -lt $((filled / 3)) ] || fail "after W the torus still covers $wire pixels (filled: $filled)"

press space
sleep 0.3
screenshot paused1.png
sleep 0.3
screenshot paused2.png
xdotool search --name '^softcube - torus.obj \[textured, wireframe, paused\]$' >/dev/null ||
    fail "the title does not say paused: $(xdotool getwindowname "$window")"
differing=$(convert paused1.png -crop 800x592+0+8 +repage a.png &&
    convert paused2.png -crop 800x592+0+8 +repage b.png && compare -metric AE a.png b.png null: 2>&1)
[ "$differing" = "0" ] || fail "paused, the picture still changes ($differing pixels)"

press Escape
for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "softcube still runs 5 seconds after Escape"
wait "$app_pid"
status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "softcube exited with $status: $(cat stderr.txt)"
# The final picture went to the name itself and left the numbered ones as they were.
[ -s shot.png ] || fail "the final picture was not written to shot.png"
cmp -s shot-0004.png paused2.png || fail "the final picture changed an F12 picture"
[ ! -e shot-0005.png ] || fail "more F12 pictures than presses"
echo "model window keys passed"
