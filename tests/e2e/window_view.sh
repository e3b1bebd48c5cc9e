#!/usr/bin/env bash
# The viewer in a real window under Xvfb, held with real mouse and key events (xdotool): a drag
# while paused turns the picture and puts the camera in the title, the wheel makes the model
# larger on screen, R gives back the starting picture byte for byte, H shows the help panel
# (against its golden picture), a resize to 1024 x 768 gives F12 pictures of that size with the
# whole model, a 16 x 16 or minimised window neither crashes nor spins, and while nothing moves
# the program uses next to no processor time.
# Exits 77 (skipped) when Xvfb or the X tools are not available.
# Usage: window_view.sh SOFTCUBE ASSETS_DIR WORK_DIR GOLDEN_DIR
set -u
softcube=$1
golden_dir=$4
. "$(dirname "$0")/common.sh"
prepare_work_dir "$2" "$3"

start_window_test Xvfb xdotool convert compare

"$softcube" --model models/torus.obj --no-overlay --screenshot shot.png >stdout.txt 2>stderr.txt &
app_pid=$!
wait_for_window '^softcube - torus.obj \[textured\]$'
xdotool windowfocus --sync "$window" 2>/dev/null



title() { xdotool getwindowname "$window"; }

# model_pixels FILE: pixels that are not the background.
model_pixels() {
    local size
    size=$(identify -format '%wx%h' "$1")
    convert -size "$size" xc:'rgb(0,0,16)' background.png
    compare -metric AE "$1" background.png null: 2>&1
}

# cpu_ticks: the program's user and system time so far, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app_pid/stat"; }

press space
f12_picture start.png
[ "$(title)" = "softcube - torus.obj [textured, paused]" ] || fail "after Space the title is '$(title)'"

# Idle: paused and untouched, the window draws nothing and sleeps.
before=$(cpu_ticks)
sleep 5
idle=$(($(cpu_ticks) - before))
[ "$idle" -le 25 ] || fail "paused and untouched, softcube used $idle clock ticks in 5 seconds"
echo "idle: $idle clock ticks in 5 seconds"

# A left drag orbits: another picture, and the camera in the title.
xdotool mousemove --window "$window" 400 300 mousedown 1 mousemove_relative --sync 40 0 \
    mousemove_relative --sync 40 25 mouseup 1
sleep 0.3
f12_picture dragged.png
title | grep -Eq '^softcube - torus.obj \[textured, paused\] azimuth -?[0-9.]+ elevation -?[0-9.]+ zoom 1.00$' ||
    fail "after a drag the title is '$(title)'"
cmp -s start.png dragged.png && fail "the drag did not change the picture"

# R: the starting view, byte for byte.
press r
f12_picture reset.png
cmp -s start.png reset.png || fail "R did not restore the starting picture"
[ "$(title)" = "softcube - torus.obj [textured, paused]" ] || fail "after R the title is '$(title)'"

# The wheel zooms towards the model: it covers more of the picture.
xdotool mousemove --window "$window" 400 300 click 4 click 4 click 4
sleep 0.3
f12_picture zoomed.png
[ "$(model_pixels zoomed.png)" -gt $(($(model_pixels start.png) * 3 / 2)) ] ||
    fail "after the wheel the model covers $(model_pixels zoomed.png) pixels, before $(model_pixels start.png)"
press r

# H: the help panel, as its golden picture shows it, over any scene; H again hides it.
press h
f12_picture help.png
convert help.png -crop 412x120+8+16 +repage panel.png
differing=$(compare -metric AE panel.png "$golden_dir/help-panel.png" null: 2>&1)
[ "$differing" = "0" ] || fail "the help panel differs from $golden_dir/help-panel.png in $differing pixels"
press h
f12_picture hidden.png
cmp -s start.png hidden.png || fail "H did not hide the help panel"

# Resized: the picture follows the window, redrawn at its size with the whole model in it.
xdotool windowsize --sync "$window" 1024 768
sleep 0.5
f12_picture big.png
[ "$(identify -format '%wx%h' big.png)" = "1024x768" ] || fail "after the resize F12 wrote $(identify big.png)"
for xy in "2 2" "1021 2" "2 765" "1021 765"; do
    [ "$(pixel big.png $xy)" = "srgb(0,0,16)" ] || fail "the resized picture is cut: ($xy) is $(pixel big.png $xy)"
done
[ "$(model_pixels big.png)" -gt "$(model_pixels start.png)" ] || fail "the resized picture did not grow"

# Tiny and minimised windows neither crash nor spin.
xdotool windowsize --sync "$window" 16 16
sleep 0.5
f12_picture tiny.png
[ "$(identify -format '%wx%h' tiny.png)" = "16x16" ] || fail "the 16 x 16 window wrote $(identify tiny.png)"
xdotool windowminimize --sync "$window" 2>/dev/null || xdotool windowunmap --sync "$window"
before=$(cpu_ticks)
sleep 2
minimised=$(($(cpu_ticks) - before))
[ "$minimised" -le 20 ] || fail "minimised, softcube used $minimised clock ticks in 2 seconds"
kill -0 "$app_pid" 2>/dev/null || fail "softcube ended while minimised: $(cat stderr.txt)"
xdotool windowmap --sync "$window" 2>/dev/null
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window" 2>/dev/null

press Escape
wait_for_exit Escape
echo "window view passed"
