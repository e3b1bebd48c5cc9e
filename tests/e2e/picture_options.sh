#!/usr/bin/env bash
# The picture, camera and output options through the real program: sizes at their limits,
# byte-identical files without the overlay, transparent and opaque pictures, a frame drawn
# alone equal to the same frame of a whole run, the fitted model's share of the picture,
# sequences, turntables, batches with a bad file among good ones, thumbnails, progress on a
# terminal only, and the version.
# Usage: picture_options.sh SOFTCUBE ASSETS_DIR WORK_DIR
set -u
softcube=$1
. "$(dirname "$0")/common.sh"
prepare_work_dir "$2" "$3"

# run ARGS...: the program must succeed; its output goes to stdout.txt and stderr.txt.
run() {
    "$softcube" "$@" >stdout.txt 2>stderr.txt || fail "'$*' exited with $?: $(cat stderr.txt)"
}

# size_of FILE: "WIDTH HEIGHT" from a PNG's header (ImageMagick's policy refuses sides over 16000).
size_of() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'; }

# alpha_at FILE X Y: the alpha byte of one pixel, 0 to 255.
alpha_at() { convert "$1" -format "%[fx:int(255*p{$2,$3}.a+0.5)]" info: 2>/dev/null; }

# Sizes at the limits: the picture takes them, the projection their aspect.
for size in 16x16 16384x16 16x2048; do
    run --headless --frames 2 --size "$size" --screenshot "size-$size.png"
    [ "$(size_of "size-$size.png")" = "${size/x/ }" ] || fail "--size $size wrote $(size_of "size-$size.png")"
done
# The largest size is refused in one line when the memory cannot be had, before any frame.
# Not with AddressSanitizer, whose shadow memory alone needs terabytes of address space.
if ! objdump -p "$softcube" | grep -q 'NEEDED.*libasan'; then
    (ulimit -v 1500000 && "$softcube" --headless --frames 1 --size 16384x16384 --screenshot huge.png) \
        >stdout.txt 2>stderr.txt
    status=$?
    [ "$status" -eq 1 ] || fail "--size 16384x16384 without the memory exited with $status"
    [ "$(wc -l <stderr.txt)" -eq 1 ] && grep -q '16384 x 16384 picture needs 2048 MiB' stderr.txt ||
        fail "the refusal of 16384x16384: $(cat stderr.txt)"
    [ ! -e huge.png ] || fail "a picture was written without the memory for it"
fi

# Without the overlay two runs give the same file, whatever the thread count; the default
# stays the demo's picture below the statistics row.
run --headless --frames 50 --no-overlay --screenshot plain-a.png
SOFTCUBE_THREADS=3 run --headless --frames 50 --no-overlay --screenshot plain-b.png
cmp -s plain-a.png plain-b.png || fail "two runs without the overlay differ"
[ "$(count_colour plain-a.png 712x8+0+0 255,255,255)" -eq 0 ] || fail "--no-overlay still drew the statistics line"
grep -Eq '^      50 Frames / ' stdout.txt || fail "--no-overlay lost the statistics line on stdout: $(cat stdout.txt)"

# A frame computed directly is the frame the whole run reaches, byte for byte, for the cube
# and for a model; frame 0 is the scene unturned, with a window or --frames the sequence starts there.
run --headless --frames 100 --no-overlay --screenshot run-100.png
run --headless --frame 100 --no-overlay --screenshot alone-100.png
cmp -s run-100.png alone-100.png || fail "--frame 100 differs from frame 100 of a run"
grep -Eq '^     100 Frames / ' stdout.txt || fail "--frame 100 counts its frame as: $(cat stdout.txt)"
run --headless --frames 37 --model models/torus.obj --no-overlay --screenshot torus-run.png
run --headless --frame 30 --frames 8 --model models/torus.obj --no-overlay --screenshot torus-alone.png
cmp -s torus-run.png torus-alone.png || fail "frames 30 to 37 do not end on frame 37 of a run"
grep -Eq '^      37 Frames / ' stdout.txt || fail "--frame 30 --frames 8 ends at: $(cat stdout.txt)"

# Backgrounds: a colour everywhere nothing is drawn; transparent leaves alpha 0 there, and
# opaque surfaces (--opacity 1) cover with alpha 255 and hide what is behind them.
run --headless --frame 1 --background '#336699' --no-overlay --screenshot colour.png
[ "$(pixel colour.png 2 2)" = "srgb(51,102,153)" ] || fail "--background '#336699' corner: $(pixel colour.png 2 2)"
run --headless --frame 0 --model models/torus.obj --opacity 1 --background transparent --no-overlay \
    --screenshot opaque.png
for xy in "0 0" "799 0" "0 599" "799 599"; do
    [ "$(alpha_at opaque.png $xy)" = 0 ] || fail "transparent corner ($xy) has alpha $(alpha_at opaque.png $xy)"
done
[ "$(alpha_at opaque.png 400 120)" = 255 ] || fail "opaque torus has alpha $(alpha_at opaque.png 400 120)"
[ "$(alpha_at opaque.png 400 300)" = 0 ] || fail "the torus's hole is not transparent"
# A sphere of radius 1 about the origin, 48 x 24 quadrilaterals.
awk 'BEGIN { pi = atan2(0, -1); n = 48; m = 24
    for (i = 0; i <= m; i++) for (j = 0; j < n; j++) {
        t = pi * i / m; p = 2 * pi * j / n
        printf "v %.6f %.6f %.6f\n", sin(t) * cos(p), cos(t), sin(t) * sin(p) }
    for (i = 0; i < m; i++) for (j = 0; j < n; j++) {
        a = i * n + j + 1; b = i * n + (j + 1) % n + 1
        printf "f %d %d %d %d\n", a, b, b + n, a + n } }' >sphere.obj

# Opaque: culling the back faces changes nothing inside the outline, as no back face shows
# through; only a few outline pixels that front faces leave uncovered show a back face. The
# translucent sphere shows its back faces. (An untextured model: an opaque texture covers
# whatever the vertex alpha.)
for opacity in 1 0.75; do
    run --headless --frame 20 --model sphere.obj --opacity $opacity --no-overlay --screenshot "sphere-$opacity.png"
    run --headless --frame 20 --model sphere.obj --opacity $opacity --no-overlay --cull --screenshot "culled-$opacity.png"
done
differing=$(compare -metric AE sphere-1.png culled-1.png null: 2>&1)
[ "$differing" -lt 200 ] || fail "opaque back faces still show: $differing pixels change when culled"
differing=$(compare -metric AE sphere-0.75.png culled-0.75.png null: 2>&1)
[ "$differing" -gt 20000 ] || fail "translucent back faces do not show: only $differing pixels change when culled"

# A model is fitted: a sphere's outline fills 90 % of the picture's smaller side (540 of 600
# rows, 486 of 540 columns in a tall picture).
for size in 800x600:540 540x800:486; do
    run --headless --frame 0 --size "${size%%:*}" --model sphere.obj --opacity 1 --background transparent \
        --no-overlay --screenshot sphere.png
    rows=$(convert sphere.png -alpha extract -threshold 50% -format '%@' info: | sed 's/x.*//')
    expected=${size##*:}
    [ "$rows" -ge $((expected - 6)) ] && [ "$rows" -le $((expected + 2)) ] ||
        fail "the fitted sphere spans $rows pixels at ${size%%:*}, expected about $expected"
done
# The camera: zoom 2 doubles it (to the picture's edge), azimuth and elevation turn the view.
run --headless --frame 0 --model sphere.obj --zoom 0.5 --opacity 1 --background transparent --no-overlay \
    --screenshot half.png
rows=$(convert half.png -alpha extract -threshold 50% -format '%@' info: | sed 's/x.*//')
[ "$rows" -ge 262 ] && [ "$rows" -le 276 ] || fail "--zoom 0.5 gives a sphere of $rows pixels, expected about 270"
run --headless --frame 0 --model models/torus.obj --no-overlay --screenshot front.png
run --headless --frame 0 --model models/torus.obj --no-overlay --azimuth 40 --elevation 30 --screenshot turned.png
cmp -s front.png turned.png && fail "--azimuth and --elevation did not change the view"

# Sequences: a template writes every K-th frame, each the frame a run reaches; {model} names the model.
run --headless --frames 10 --every 3 --no-overlay --model models/torus.obj --screenshot 'seq_{model}_{frame:04}.png'
[ "$(ls seq_torus_*.png | tr '\n' ' ')" = "seq_torus_0003.png seq_torus_0006.png seq_torus_0009.png " ] ||
    fail "--every 3 wrote: $(ls seq_*.png)"
run --headless --frame 9 --no-overlay --model models/torus.obj --screenshot nine.png
cmp -s seq_torus_0009.png nine.png || fail "the sequence's frame 9 is not frame 9"
# A turntable: one turn of the camera in N frames around the unturned model.
run --headless --turntable 4 --no-overlay --model models/torus.obj --screenshot 'turn_{frame}.png'
[ "$(ls turn_*.png | wc -l)" -eq 4 ] || fail "--turntable 4 wrote $(ls turn_*.png)"
cmp -s turn_1.png front.png || fail "the turntable's first frame is not the front view"
run --headless --frame 0 --azimuth 180 --no-overlay --model models/torus.obj --screenshot back.png
cmp -s turn_3.png back.png || fail "the turntable's third of four frames is not the view from behind"

# A batch: one picture per model named after it; a bad file is reported and the rest drawn.
printf 'v 0 0 0\nv 1 0 0\nf 1 2 3\n' >bad.obj
"$softcube" models/torus.obj bad.obj models/house.gltf --output-dir out --size 200x150 --no-overlay \
    >stdout.txt 2>stderr.txt
status=$?
[ "$status" -eq 1 ] || fail "a batch with a bad file exited with $status"
[ "$(size_of out/torus.png)" = "200 150" ] && [ "$(size_of out/house.png)" = "200 150" ] ||
    fail "the batch's pictures: $(ls out)"
[ ! -e out/bad.png ] || fail "the bad model got a picture"
grep -q '^softcube: bad.obj: ' stderr.txt || fail "the bad model is not reported: $(cat stderr.txt)"
grep -q '^2 of 3 models drawn into out$' stdout.txt || fail "batch summary: $(cat stdout.txt)"
run models/torus.obj models/house.gltf --output-dir out2 --no-overlay
[ -s out2/torus.png ] && [ -s out2/house.png ] || fail "a good batch wrote: $(ls out2)"

# Thumbnails: SIZE x SIZE, PNG whatever the name, transparent corners, an opaque model.
run --thumbnail 128 models/house.gltf thumbnail.tmp
[ "$(identify -format '%m %w %h' thumbnail.tmp)" = "PNG 128 128" ] || fail "thumbnail: $(identify thumbnail.tmp)"
[ "$(alpha_at thumbnail.tmp 0 0)" = 0 ] || fail "the thumbnail's corner is not transparent"
[ "$(alpha_at thumbnail.tmp 64 64)" = 255 ] || fail "the thumbnail's model is not opaque"
"$softcube" --thumbnail 128 missing.obj never.png >stdout.txt 2>stderr.txt
[ $? -eq 1 ] && [ "$(wc -l <stderr.txt)" -eq 1 ] && [ ! -e never.png ] ||
    fail "a thumbnail of a missing file: $(cat stderr.txt)"

# Progress: on a terminal a line rewritten in place, nothing when stderr is not a terminal.
run --headless --frames 400 --size 2000x1500
[ ! -s stderr.txt ] || fail "progress shown without a terminal: $(cat stderr.txt)"
# The line starts once a run has taken a second: one thread, and checked only when the run
# did take that long (a fast machine may finish first).
started=$(date +%s%N)
script -qec "'$softcube' --headless --threads 1 --frames 800 --size 2000x1500" /dev/null >terminal.txt 2>&1 ||
    fail "the run on a terminal failed: $(cat terminal.txt)"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
if [ "$elapsed_ms" -ge 1500 ]; then
    grep -q $'\rsoftcube: frame [0-9]* of 800 ([0-9]* %)' terminal.txt ||
        fail "no progress line on a terminal in $elapsed_ms ms"
fi

run --version
grep -Eq '^softcube [0-9]+\.[0-9]+\.[0-9]+$' stdout.txt || fail "--version: $(cat stdout.txt)"

echo "picture options passed"
