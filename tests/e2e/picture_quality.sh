#!/usr/bin/env bash
# The picture-quality options through the real program: each changes the picture as it says
# and nothing when left at its default, the statistics count what they draw, thumbnails take
# the model look unless told otherwise, and bad values or samples beyond reach are refused.
# Usage: picture_quality.sh SOFTCUBE ASSETS_DIR WORK_DIR
set -u
softcube=$1
. "$(dirname "$0")/common.sh"
prepare_work_dir "$2" "$3"

# run ARGS...: the program must succeed; its output goes to stdout.txt and stderr.txt.
run() {
    "$softcube" "$@" >stdout.txt 2>stderr.txt || fail "'$*' exited with $?: $(cat stderr.txt)"
}

# pixels_drawn: the Pixels field of the statistics line a headless run printed.
pixels_drawn() { sed -n 's/.* \([0-9]*\) Pixels$/\1/p' stdout.txt | tail -1; }

# differing A B: how many pixels of two pictures differ.
differing() { compare -metric AE "$1" "$2" null: 2>&1; }

cube=(--headless --frame 100 --no-overlay)
run "${cube[@]}" --screenshot plain.png
plain_pixels=$(pixels_drawn)
# The defaults, given, are the demo's picture byte for byte; so is the light from the viewer.
run "${cube[@]}" --edges spans --ssaa 1 --filter nearest --light 0,0 --screenshot defaults.png
cmp -s plain.png defaults.png || fail "the options at their defaults changed the picture"

# Watertight edges fill the demo's cracks: more pixels, a different picture.
run "${cube[@]}" --edges watertight --screenshot watertight.png
[ "$(differing plain.png watertight.png)" -gt 0 ] || fail "--edges watertight drew the demo's picture"
# Supersampling: the same size, smoothed edges, the count in pixels of the picture (about the same).
run "${cube[@]}" --ssaa 3 --screenshot ssaa.png
[ "$(identify -format '%w %h' ssaa.png)" = "800 600" ] || fail "--ssaa 3 wrote $(identify ssaa.png)"
[ "$(differing plain.png ssaa.png)" -gt 1000 ] || fail "--ssaa 3 drew the demo's picture"
ssaa_pixels=$(pixels_drawn)
[ "$ssaa_pixels" -gt $((plain_pixels * 9 / 10)) ] && [ "$ssaa_pixels" -lt $((plain_pixels * 11 / 10)) ] ||
    fail "--ssaa 3 counted $ssaa_pixels pixels against $plain_pixels"
# Lines: over the fill they add their pixels to the count; alone they are a few thousand.
run "${cube[@]}" --lines --screenshot lines.png
[ "$(pixels_drawn)" -gt "$plain_pixels" ] || fail "--lines counted $(pixels_drawn) pixels, no more than $plain_pixels"
run "${cube[@]}" --lines-only --screenshot lines-only.png
[ "$(pixels_drawn)" -gt 1000 ] && [ "$(pixels_drawn)" -lt 20000 ] || fail "--lines-only counted $(pixels_drawn) pixels"
[ "$(pixel lines-only.png 400 300)" != "$(pixel plain.png 400 300)" ] || fail "--lines-only left the fill"
# A light from the right shades the cube otherwise.
run "${cube[@]}" --light 90,0 --screenshot light.png
[ "$(differing plain.png light.png)" -gt 10000 ] || fail "--light 90,0 drew the demo's shades"

# Filters on a textured model: linear and trilinear each read their own texels.
torus=(--headless --frame 20 --no-overlay --size 320x240 models/torus.obj)
run "${torus[@]}" --screenshot nearest.png
run "${torus[@]}" --filter linear --screenshot linear.png
run "${torus[@]}" --filter trilinear --screenshot trilinear.png
[ "$(differing nearest.png linear.png)" -gt 1000 ] || fail "--filter linear drew the nearest texels"
[ "$(differing linear.png trilinear.png)" -gt 100 ] || fail "--filter trilinear drew the linear picture"
# Every option together, on any number of threads, the same bytes.
all=("${torus[@]}" --edges watertight --ssaa 2 --filter trilinear --lines --light -30,40)
SOFTCUBE_THREADS=1 run "${all[@]}" --screenshot all-1.png
SOFTCUBE_THREADS=3 run "${all[@]}" --screenshot all-3.png
cmp -s all-1.png all-3.png || fail "one and three threads drew the options differently"

# A thumbnail takes the model look; its options may change it.
run --thumbnail 96 models/house.gltf thumb.png
run --thumbnail 96 models/house.gltf thumb-look.png --edges watertight --ssaa 2 --filter linear
cmp -s thumb.png thumb-look.png || fail "the thumbnail is not the model look"
run --thumbnail 96 models/house.gltf thumb-plain.png --edges spans --ssaa 1 --filter nearest --threads 2
[ "$(differing thumb.png thumb-plain.png)" -gt 100 ] || fail "the thumbnail's options changed nothing"

# Refusals: one line, status 2 for the command line, 1 for memory, nothing written.
for bad in "--edges round" "--ssaa 5" "--filter cubic" "--light 10" "--size 5000x300 --ssaa 4"; do
    # shellcheck disable=SC2086
    "$softcube" --headless --frames 1 $bad --screenshot bad.png >stdout.txt 2>stderr.txt
    status=$?
    [ "$status" -eq 2 ] && [ "$(wc -l <stderr.txt)" -eq 1 ] || fail "'$bad' exited with $status: $(cat stderr.txt)"
done
grep -q -- '--ssaa 4 draws 20000 samples along a side of 5000 pixels' stderr.txt || fail "$(cat stderr.txt)"
if ! objdump -p "$softcube" | grep -q 'NEEDED.*libasan'; then
    (ulimit -v 1500000 && "$softcube" --headless --frames 1 --size 4096x4096 --ssaa 4 --screenshot huge.png) \
        >stdout.txt 2>stderr.txt
    status=$?
    [ "$status" -eq 1 ] && [ "$(wc -l <stderr.txt)" -eq 1 ] && grep -q '4096 x 4096 picture needs 2176 MiB' stderr.txt ||
        fail "the samples without the memory: status $status, $(cat stderr.txt)"
fi
[ ! -e bad.png ] && [ ! -e huge.png ] || fail "a refused run wrote a picture"
echo "picture quality passed"
