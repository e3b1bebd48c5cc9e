#!/usr/bin/env bash
# The library as another program uses it: `cmake --install` into a fresh prefix, the example
# built against the installed package alone (find_package, not this build tree) and run, its
# thumbnail compared with the golden one, and the window component's viewer example run
# without a display; a program compiled with `pkg-config --cflags --libs
# softcube`, and one linked statically, both run.
# Usage: installed_library.sh BUILD_DIR SOURCE_DIR ASSETS_DIR WORK_DIR GOLDEN_DIR
set -u
build=$1
source_dir=$2
golden_dir=$5
. "$(dirname "$0")/common.sh"
prepare_work_dir "$3" "$4"
prefix=$PWD/prefix

cmake --install "$build" --prefix "$prefix" >install.txt 2>&1 || fail "cmake --install failed: $(cat install.txt)"
[ -f "$prefix/include/softcube/softcube.h" ] || fail "the header was not installed"
soname=$(objdump -p "$prefix/lib/libsoftcube.so" | sed -n 's/ *SONAME *//p')
[ "$soname" = libsoftcube.so.1 ] || fail "the shared library's SONAME is '$soname'"
! objdump -p "$prefix/lib/libsoftcube.so" | grep -Eq 'NEEDED.*libX11' || fail "the library links X11"

# The example, configured and built with only the installed package to find.
cmake -S "$source_dir/examples" -B examples -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
    >configure.txt 2>&1 || fail "configuring the example failed: $(tail -20 configure.txt)"
found=$(sed -n 's/^softcube_DIR:PATH=//p' examples/CMakeCache.txt)
[ "$found" = "$prefix/lib/cmake/softcube" ] || fail "the example found softcube in '$found', not the installed package"
cmake --build examples >build.txt 2>&1 || fail "building the example failed: $(tail -20 build.txt)"
examples/thumbnail models/house.gltf house.png 128 >stdout.txt 2>stderr.txt ||
    fail "the example failed: $(cat stderr.txt)"
grep -q '^house.png: 20 triangles, softcube [0-9.]*$' stdout.txt || fail "the example said: $(cat stdout.txt)"
differing=$(compare -metric AE house.png "$golden_dir/library-house-128.png" null: 2>&1)
[ "$differing" = 0 ] || fail "the example's thumbnail differs from the golden one in $differing pixels"
# The same picture as the program's thumbnail.
"$build/app/softcube" --thumbnail 128 models/house.gltf program.png || fail "the program's thumbnail failed"
cmp -s <(convert house.png rgba:-) <(convert program.png rgba:-) ||
    fail "the library's thumbnail and the program's differ"
# The window component: without a display the view says so in one line.
env -u DISPLAY -u WAYLAND_DISPLAY examples/viewer models/torus.obj >stdout.txt 2>stderr.txt
[ $? -eq 1 ] && grep -q '^viewer: cannot open a window: no display' stderr.txt ||
    fail "the viewer without a display: $(cat stderr.txt)"
! objdump -p "$prefix/lib/libsoftcube.so" | grep -q 'NEEDED.*libX11' || fail "the offscreen library needs X11"
objdump -p "$prefix/lib/libsoftcube-window.so" | grep -q 'NEEDED.*libX11' || fail "the window component lacks X11"
examples/thumbnail missing.obj never.png >stdout.txt 2>stderr.txt
[ $? -eq 1 ] && grep -q '^thumbnail: missing.obj: ' stderr.txt || fail "a missing model: $(cat stderr.txt)"

# pkg-config, shared and static.
cat >version.cpp <<'CPP'
#include <softcube/softcube.h>
#include <cstdio>
int main() {
    softcube::render_options o;
    o.width = o.height = 32;
    const softcube::image cube = softcube::render_cube(o);
    std::printf("%s %d %zu\n", softcube::version(), cube.width, cube.pixels.size());
    return 0;
}
CPP
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
# shellcheck disable=SC2046
c++ -std=c++17 version.cpp -o version-shared $(pkg-config --cflags --libs softcube) >cc.txt 2>&1 ||
    fail "compiling with pkg-config failed: $(cat cc.txt)"
LD_LIBRARY_PATH="$prefix/lib" ./version-shared >stdout.txt || fail "the pkg-config program failed"
grep -Eq '^[0-9]+\.[0-9]+\.[0-9]+ 32 4096$' stdout.txt || fail "the pkg-config program said: $(cat stdout.txt)"
# shellcheck disable=SC2046
c++ -std=c++17 version.cpp -o version-static -static-libstdc++ $(pkg-config --cflags softcube) \
    "$prefix/lib/libsoftcube.a" $(pkg-config --libs-only-l --static softcube | sed 's/-lsoftcube//') >cc.txt 2>&1 ||
    fail "linking the static library failed: $(cat cc.txt)"
./version-static >stdout.txt || fail "the statically linked program failed"
grep -Eq ' 32 4096$' stdout.txt || fail "the static program said: $(cat stdout.txt)"
echo "installed library passed"
