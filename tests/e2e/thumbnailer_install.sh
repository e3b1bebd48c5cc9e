#!/usr/bin/env bash
# The installed thumbnailer as a file manager uses it: `cmake --install` into a fresh prefix,
# then the entry's Exec line, with %s, %i and %o filled in as the freedesktop thumbnailer
# convention describes, run from the installed program for each of its MIME types' files.
# Usage: thumbnailer_install.sh BUILD_DIR ASSETS_DIR WORK_DIR
set -u
build=$1
. "$(dirname "$0")/common.sh"
prepare_work_dir "$2" "$3"

cmake --install "$build" --prefix "$PWD/prefix" >install.txt 2>&1 || fail "cmake --install failed: $(cat install.txt)"
entry=prefix/share/thumbnailers/softcube.thumbnailer
[ -f "$entry" ] || fail "no thumbnailer entry installed: $(cat install.txt)"
[ -x prefix/bin/softcube ] || fail "the program was not installed"
grep -qx 'MimeType=model/obj;model/gltf+json;model/gltf-binary;' "$entry" || fail "MIME types: $(cat "$entry")"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
try_exec=$(sed -n 's/^TryExec=//p' "$entry")
[ "$try_exec" = softcube ] || fail "TryExec: $try_exec"

for model in models/torus.obj models/house.gltf; do
    out="$PWD/thumb-$(basename "$model").png"
    command=${exec_line//%s/256}
    command=${command//%i/$PWD/$model}
    command=${command//%o/$out}
    PATH="$PWD/prefix/bin:$PATH" sh -c "$command" >stdout.txt 2>stderr.txt ||
        fail "'$command' exited with $?: $(cat stderr.txt)"
    [ "$(identify -format '%m %w %h' "$out")" = "PNG 256 256" ] || fail "$out: $(identify "$out")"
done
echo "installed thumbnailer passed"
