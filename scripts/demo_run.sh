# Sourced by the scripts that run the built demo from a scratch copy of assets/ (soak.sh, valgrind.sh).
#
#   prepare_demo_run BUILD_DIR WORK_NAME [CONFIGURE_ARGUMENTS...]
#
# Configures BUILD_DIR with the given CMake arguments when it holds no build yet, builds the
# demo there, and sets `program` to the demo's absolute path and `work` to BUILD_DIR/WORK_NAME,
# emptied and holding a fresh copy of assets/ in work/assets.
prepare_demo_run() {
    local build_dir=$1 name=$2
    shift 2
    local source_dir
    source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    if [ ! -f "$build_dir/CMakeCache.txt" ]; then
        cmake -S "$source_dir" -B "$build_dir" "$@" >/dev/null
    fi
    cmake --build "$build_dir" -j "${JOBS:-2}" --target softcube >/dev/null
    program=$(cd "$build_dir" && pwd)/app/softcube
    work=$(cd "$build_dir" && pwd)/$name
    rm -rf "$work"
    mkdir -p "$work/assets"
    cp -R "$source_dir/assets/." "$work/assets/"
}
