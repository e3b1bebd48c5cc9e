#!/usr/bin/env bash
# The example models offscreen as a user renders them: frame 60 of each model in each drawing
# mode against the committed golden pictures, pixel for pixel below the statistics row (whose
# timings change from run to run); and bad model files refused with one line naming the file.
# Usage: models.sh SOFTCUBE ASSETS_DIR WORK_DIR GOLDEN_DIR
set -u
softcube=$1
golden_dir=$4
. "$(dirname "$0")/common.sh"
prepare_work_dir "$2" "$3"

# same_below_overlay A B: the two pictures differ in no pixel below the first text row.
same_below_overlay() {
    local differing
    convert "$1" -alpha off -crop 800x592+0+8 +repage below-a.png &&
        convert "$2" -alpha off -crop 800x592+0+8 +repage below-b.png || fail "cannot crop $1 or $2"
    differing=$(compare -metric AE below-a.png below-b.png null: 2>&1) || true
    [ "$differing" = "0" ]
}

for model in models/torus.obj:1024 models/house.gltf:20; do
    file=${model%%:*}
    triangles=${model##*:}
    name=$(basename "${file%.*}")
    for mode in default textured wireframe cull clip; do
        option=()
        [ "$mode" != default ] && option=("--$mode")
        shot="$name-$mode.png"
        "$softcube" --headless --frames 60 --model "$file" "${option[@]}" --screenshot "$shot" >stdout.txt 2>stderr.txt ||
            fail "$name $mode exited with $?: $(cat stderr.txt)"
        [ ! -s stderr.txt ] || fail "$name $mode warned: $(cat stderr.txt)"
        check_frame "$shot" PNG any-angle
        # Texturing starts on by itself for these models, so --textured draws the default picture.
        golden="$golden_dir/$name-${mode/textured/default}.png"
        same_below_overlay "$shot" "$golden" || fail "$name $mode differs from $golden"
        # Culling drops back faces, clipping may cut triangles in two: only the plain counts are fixed.
        if [ "$mode" = default ] || [ "$mode" = wireframe ]; then
            grep -Eq "^ +60 Frames / .* / +$triangles Tiangles / " stdout.txt ||
                fail "$name $mode statistics: $(cat stdout.txt)"
        fi
    done
    # Every mode draws its own picture.
    for mode in wireframe cull; do
        same_below_overlay "$name-default.png" "$name-$mode.png" && fail "$name: $mode looks like the default"
    done
done

# A texture named on the command line replaces the model's; one that is missing is a warning.
"$softcube" --headless --frames 60 --model models/house.gltf --texture models/torus.png --screenshot other.png \
    >/dev/null 2>stderr.txt || fail "--texture failed: $(cat stderr.txt)"
same_below_overlay other.png house-default.png && fail "--texture did not change the picture"
"$softcube" --headless --frames 60 --model models/house.gltf --texture missing.png --screenshot plain.png \
    >/dev/null 2>stderr.txt || fail "a missing --texture ended the run: $(cat stderr.txt)"
grep -q '^softcube: warning: texture missing.png: no such file; drawing without it$' stderr.txt ||
    fail "missing texture warning: $(cat stderr.txt)"

# Bad model files: exit status 1, one line on stderr naming the file, nothing drawn.
printf 'v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n' >bad-index.obj
printf '{"asset": {"version": "2.0"}, "meshes": [' >broken.gltf
for bad in missing.obj bad-index.obj broken.gltf models; do
    "$softcube" --headless --model "$bad" --screenshot never.png >stdout.txt 2>stderr.txt
    status=$?
    [ "$status" -eq 1 ] || fail "--model $bad exited with $status, expected 1"
    [ "$(wc -l <stderr.txt)" -eq 1 ] || fail "--model $bad: not one line: $(cat stderr.txt)"
    grep -q "^softcube: $bad: " stderr.txt || fail "--model $bad: the line does not name the file: $(cat stderr.txt)"
    [ ! -e never.png ] || fail "--model $bad drew a frame"
done

echo "model runs passed"
