#!/usr/bin/env bash
# Hostile input through the real program: models, materials, buffers and pictures that are FIFOs
# or devices, numbers that are not numbers, JSON nested to exhaust the stack, normals that do not
# exist; a symbolic link planted at the screenshot; SIGINT and SIGTERM in a long run. Every run is
# held to 10 seconds and to a memory limit, so a hang or a runaway fails the test instead of
# stalling it.
# Usage: hostile_files.sh SOFTCUBE ASSETS_DIR WORK_DIR SANITIZED(0|1)
set -u
softcube=$1
sanitized=$4
. "$(dirname "$0")/common.sh"
prepare_work_dir "$2" "$3"

# run ARGS...: the program under the limits, stdout and stderr to files, its status in $status.
# AddressSanitizer reserves terabytes of address space, so there the limit is its own: no
# allocation over 1 GB and at most 2 GB resident.
run() {
    if [ "$sanitized" = 1 ]; then
        ASAN_OPTIONS="${ASAN_OPTIONS:-}:malloc_limit_mb=1024:hard_rss_limit_mb=2048" \
            timeout 10 "$softcube" "$@" >stdout.txt 2>stderr.txt
    else
        (ulimit -v 1000000 && exec timeout 10 "$softcube" "$@") >stdout.txt 2>stderr.txt
    fi
    status=$?
    [ "$status" -ne 124 ] || fail "'$*' did not end within 10 seconds"
}

# refused MODEL LINE: exit status 1, exactly the line on stderr, nothing drawn.
refused() {
    local model=$1 line=$2
    rm -f never.png
    run --headless --frames 2 --model "$model" --screenshot never.png
    [ "$status" -eq 1 ] || fail "--model $model exited with $status, expected 1: $(cat stderr.txt)"
    [ "$(cat stderr.txt)" = "$line" ] || fail "--model $model said '$(cat stderr.txt)', expected '$line'"
    [ ! -e never.png ] || fail "--model $model drew a frame"
}

# drawn LINE ARGS...: exit status 0, exactly the one warning line on stderr, the picture written.
drawn() {
    local line=$1
    shift
    rm -f drawn.png
    run --headless --frames 2 --screenshot drawn.png "$@"
    [ "$status" -eq 0 ] || fail "'$*' exited with $status: $(cat stderr.txt)"
    [ "$(cat stderr.txt)" = "$line" ] || fail "'$*' said '$(cat stderr.txt)', expected '$line'"
    check_frame drawn.png PNG any-angle
}

triangle='v 0 0 0\nv 1 0 0\nv 0 1 0\n'
mkfifo fifo.mtl fifo.png fifo.bin stdin.fifo

# Numbers tinyobjloader would read as 0.
printf "v nan 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n" >nan.obj
printf "$triangle""v abc 0 0\nf 1 2 3\n" >abc.obj
printf "# exported\r\nv abc 5 5\r\n$triangle""f 2 3 4\r\n" >abc55.obj
printf "v 0 0 0\nv 1 2\nv 0 1 0\nf 1 2 3\n" >short.obj
for case in nan.obj:1 abc.obj:4 abc55.obj:2 short.obj:2; do
    refused "${case%%:*}" "softcube: $case: a vertex coordinate is missing or not a number"
done
printf "$triangle""vn 0 nan 1\nf 1//1 2//1 3//1\n" >normal.obj
refused normal.obj "softcube: normal.obj:4: a normal coordinate is missing or not a number"
printf "$triangle""vt\nf 1/1 2/1 3/1\n" >texcoord.obj
refused texcoord.obj "softcube: texcoord.obj:4: a texture coordinate is missing or not a number"

# glTF: JSON nested 20,000 deep (40 KB) overflowed the stack inside tinygltf; as a .glb too.
gltf_with() { # EXTRAS BUFFER_URI IMAGE_URI
    printf '{"asset": {"version": "2.0", "extras": %s}, "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "material": 0}]}],
  "materials": [{"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}], "textures": [{"source": 0}],
  "images": [{"uri": "%s"}], "buffers": [{"byteLength": 36, "uri": "%s"}], "bufferViews": [{"buffer": 0, "byteLength": 36}],
  "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"}]}' "$1" "$3" "$2"
}
deep=$(printf '%*s' 20000 '' | tr ' ' '[')$(printf '%*s' 20000 '' | tr ' ' ']')
gltf_with "$deep" b.bin p.png >deep.gltf
refused deep.gltf "softcube: deep.gltf: JSON nested deeper than 512 arrays and objects"
json=$(gltf_with "$deep" b.bin p.png)
while [ $((${#json} % 4)) -ne 0 ]; do json="$json "; done
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
{ printf 'glTF'; le32 2; le32 $((20 + ${#json})); le32 ${#json}; printf 'JSON%s' "$json"; } >deep.glb
refused deep.glb "softcube: deep.glb: JSON nested deeper than 512 arrays and objects"
printf '{"asset": {"version": "2.0"},\n "meshes": [' >broken.gltf
refused broken.gltf "softcube: broken.gltf: not valid JSON at line 2, column 13: unexpected end of input; expected '[', '{', or a literal"
refused models "softcube: models: is a directory"
mkfifo model-fifo.obj
refused model-fifo.obj "softcube: model-fifo.obj: not a regular file"
gltf_with 0 fifo.bin p.png >buffer-fifo.gltf
refused buffer-fifo.gltf "softcube: buffer-fifo.gltf: buffer fifo.bin: not a regular file"

# Material libraries, pictures and buffers that never end or never answer: one warning, drawn.
printf 'mtllib /dev/zero\nusemtl m\n'"$triangle"'f 1 2 3\n' >zero.obj
drawn "softcube: warning: material library /dev/zero: not a regular file; faces using its materials are drawn light grey" \
    --model zero.obj
printf 'mtllib fifo.mtl\nusemtl m\n'"$triangle"'f 1 2 3\n' >fifo-mtl.obj
drawn "softcube: warning: material library fifo.mtl: not a regular file; faces using its materials are drawn light grey" \
    --model fifo-mtl.obj
# Standard input a FIFO that stays open and silent: reading it would wait for ever.
printf 'mtllib /dev/stdin\nusemtl m\n'"$triangle"'f 1 2 3\n' >stdin-mtl.obj
exec 3<>stdin.fifo
drawn "softcube: warning: material library /dev/stdin: not a regular file; faces using its materials are drawn light grey" \
    --model stdin-mtl.obj <&3
exec 3<&-
printf 'newmtl m\nKd 1 0 0\nmap_Kd fifo.png\n' >picture.mtl
printf 'mtllib picture.mtl\nusemtl m\n'"$triangle"'vt 0 0\nf 1/1 2/1 3/1\n' >fifo-map.obj
drawn "softcube: warning: texture fifo.png: not a regular file; drawing without it" --model fifo-map.obj
printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x80\x3f\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x80\x3f\0\0\0\0' >b.bin
gltf_with 0 b.bin fifo.png >picture-fifo.gltf
drawn "softcube: warning: texture fifo.png: not a regular file; drawing without it" --model picture-fifo.gltf
printf "$triangle"'f 1 2 3\n' >plain.obj
drawn "softcube: warning: texture fifo.png: not a regular file; drawing without it" --model plain.obj --texture fifo.png
run --headless --frames 2 --texture fifo.png
[ "$status" -eq 0 ] || fail "the cube with --texture fifo.png exited with $status"
[ "$(cat stderr.txt)" = "softcube: warning: texture fifo.png: not a regular file; using a blank texture" ] ||
    fail "the cube with --texture fifo.png said '$(cat stderr.txt)'"

# As exporters write it: a torus of 32 quads whose 128 corners name normals the file never
# gives. Drawn with computed normals and one warning.
awk 'BEGIN {
    pi = 3.14159265358979
    for (i = 0; i < 8; i++) for (j = 0; j < 4; j++) {
        u = 2 * pi * i / 8; v = 2 * pi * j / 4
        printf "v %.6f %.6f %.6f\n", (1 + 0.4 * cos(v)) * cos(u), (1 + 0.4 * cos(v)) * sin(u), 0.4 * sin(v)
    }
    n = 0
    for (i = 0; i < 8; i++) for (j = 0; j < 4; j++) {
        a = i * 4 + j + 1; b = ((i + 1) % 8) * 4 + j + 1; c = ((i + 1) % 8) * 4 + (j + 1) % 4 + 1; d = i * 4 + (j + 1) % 4 + 1
        printf "f %d//%d %d//%d %d//%d %d//%d\n", a, n + 1, b, n + 2, c, n + 3, d, n + 4
        n += 4
    }
}' >subdivided.obj
drawn "softcube: warning: subdivided.obj: 128 face corners name normals that do not exist; drawing with computed normals" \
    --model subdivided.obj
grep -Eq '^ +2 Frames / .* / +64 Tiangles / ' stdout.txt || fail "subdivided.obj statistics: $(cat stdout.txt)"

# --model twice: a command-line error, not a silent choice.
run --headless --model a.obj --model b.obj
[ "$status" -eq 2 ] || fail "--model twice exited with $status, expected 2"
[ "$(head -1 stderr.txt)" = "softcube: --model names one model; give several as plain arguments (softcube --help lists the options)" ] ||
    fail "--model twice said '$(cat stderr.txt)'"

# A symbolic link planted at the old temporary name, and at the picture's own name: neither
# target is written.
echo precious >victim.txt
ln -s victim.txt shot.png.tmp
run --headless --frames 2 --screenshot shot.png
[ "$status" -eq 0 ] || fail "--screenshot beside a planted link exited with $status: $(cat stderr.txt)"
[ "$(cat victim.txt)" = precious ] || fail "the link at shot.png.tmp was followed"
check_frame shot.png PNG
rm -f shot.png
ln -s victim.txt shot.png
run --headless --frames 2 --screenshot shot.png
[ "$(cat victim.txt)" = precious ] || fail "the link at shot.png was followed"
[ -L shot.png ] && fail "the link at shot.png is still there"
check_frame shot.png PNG
compgen -G 'shot.png.*[0-9a-f].tmp' >/dev/null && fail "a temporary file was left behind"

# A thumbnail (as a file manager makes one of a download) reads nothing outside the model's
# folder: the material beside the folder is left out with a warning that tells nothing of it but
# its name, and the model drawn in the default grey; the program run by hand may read it.
mkdir -p download
printf 'newmtl red\nKd 1 0 0\n' >outside.mtl
printf 'mtllib ../outside.mtl\nusemtl red\nv -1 -1 0\nv 1 -1 0\nv 0 1 0\nf 1 2 3\n' >download/model.obj
run --thumbnail 64 download/model.obj thumbnail.png
[ "$status" -eq 0 ] || fail "the thumbnail exited with $status: $(cat stderr.txt)"
grep -q 'outside.mtl' stderr.txt && ! grep -Eq '[0-9]+ bytes' stderr.txt ||
    fail "the thumbnail's warning: $(cat stderr.txt)"
[ "$(pixel thumbnail.png 32 40)" = "srgb(203,203,203)" ] ||
    fail "the thumbnail used the material outside its folder: $(pixel thumbnail.png 32 40)"
run --headless --frame 0 --opacity 1 --no-overlay --screenshot by-hand.png download/model.obj
[ "$status" -eq 0 ] && [ ! -s stderr.txt ] || fail "the model by hand: $status $(cat stderr.txt)"
[ "$(pixel by-hand.png 400 300 | cut -d, -f2-)" = "0,0)" ] || fail "by hand the material was not used: $(pixel by-hand.png 400 300)"

# An interrupted long run ends cleanly: the frame finished, the statistics line, the picture,
# and the shell's status for the signal (130 for SIGINT, 143 for SIGTERM).
for signal in INT:130 TERM:143; do
    rm -f interrupted.png
    "$softcube" --headless --frames 100000000 --screenshot interrupted.png >stdout.txt 2>stderr.txt &
    pid=$!
    # Once the program catches both signals (their bits in its SigCgt mask), the loop runs.
    for _ in $(seq 100); do
        caught=$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
        [ -n "$caught" ] && (((0x$caught & 0x4002) == 0x4002)) && break
        sleep 0.1
    done
    sleep 0.2
    kill -"${signal%%:*}" "$pid"
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && { kill -KILL "$pid"; fail "SIG${signal%%:*} did not end the run within 10 seconds"; }
    wait "$pid"
    status=$?
    [ "$status" -eq "${signal##*:}" ] || fail "SIG${signal%%:*} ended the run with $status, expected ${signal##*:}"
    grep -Eq '^ +[0-9]+ Frames / .* Pixels$' stdout.txt || fail "SIG${signal%%:*}: no statistics line: $(cat stdout.txt)"
    [ ! -s stderr.txt ] || fail "SIG${signal%%:*}: $(cat stderr.txt)"
    check_frame interrupted.png PNG
done

echo "hostile files passed"
