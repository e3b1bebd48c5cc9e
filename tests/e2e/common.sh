# Shared helpers of the end-to-end scripts: a fresh work folder holding the demo's assets,
# failure reporting and pixel probes through ImageMagick.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# prepare_work_dir ASSETS_DIR WORK_DIR: an empty folder with copies of the assets, entered.
prepare_work_dir() {
    rm -rf "$2"
    mkdir -p "$2"
    if [ -d "$1" ]; then
        cp -R "$1"/. "$2"/
    fi
    cd "$2" || fail "cannot enter $2"
}

# pixel FILE X Y: "srgb(R,G,B)" of one pixel, alpha ignored.
pixel() {
    convert "$1" -alpha off -format "%[pixel:p{$2,$3}]" info: 2>/dev/null
}

# colours_in FILE GEOMETRY: the distinct colours of a region as "R,G,B" lines.
colours_in() {
    convert "$1" -alpha off -crop "$2" +repage -depth 8 txt:- 2>/dev/null |
        sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | sort -u
}

# count_colour FILE GEOMETRY R,G,B: how many pixels of the region have exactly that colour.
count_colour() {
    convert "$1" -alpha off -crop "$2" +repage -depth 8 txt:- 2>/dev/null |
        sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | grep -c "^$3\$"
}

# check_frame FILE FORMAT [any-angle]: an 800 x 600 picture of the given format with the
# dark blue background at the left and right edges (the turning cube never reaches them),
# overlay text in the top-left text row (the first 89 cells) and, unless the frame may show
# the cube at any angle, nothing but background in that row's right end.
check_frame() {
    local file=$1 format=$2 angle=${3:-}
    [ -s "$file" ] || fail "$file was not written"
    local info
    info=$(identify -format '%m %w %h' "$file" 2>/dev/null) || fail "$file is not a picture"
    [ "$info" = "$format 800 600" ] || fail "$file is '$info', expected '$format 800 600'"
    local xy
    for xy in "2 597" "797 597" "797 300" "2 300" "2 20" "797 20"; do
        local got
        got=$(pixel "$file" $xy)
        [ "$got" = "srgb(0,0,16)" ] || fail "$file: pixel ($xy) is $got, expected the background srgb(0,0,16)"
    done
    local ink
    ink=$(count_colour "$file" 712x8+0+0 "255,255,255")
    [ "$ink" -gt 200 ] || fail "$file: only $ink text pixels in the overlay row"
    [ "$angle" = any-angle ] && return 0
    local right
    right=$(colours_in "$file" 88x8+712+0)
    [ "$right" = "0,0,16" ] || fail "$file: the overlay row's right end holds colours other than background: $right"
}

# skip WHY: the test is reported as skipped (exit 77), never as passed.
skip() {
    echo "SKIPPED: $*"
    exit 77
}

# start_xvfb: an X server on a display of its own choosing (Xvfb writes the number to the
# descriptor), DISPLAY exported and the other window systems unset; its pid in xvfb_pid for
# the caller's clean-up. Skips the test when the server cannot be started.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display.txt >xvfb.log 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -s display.txt ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -s display.txt ] || skip "Xvfb could not be started: $(tail -1 xvfb.log)"
    export DISPLAY=":$(head -1 display.txt)"
    unset WAYLAND_DISPLAY SDL_VIDEODRIVER
}

# start_window_test TOOL...: skips the test unless every tool is installed, arranges for the
# program (app_pid, set by the caller) and the X server to be killed when the script ends,
# and starts the X server.
start_window_test() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || skip "$tool is not installed"
    done
    xvfb_pid=""
    app_pid=""
    trap 'kill_window_test' EXIT
    start_xvfb
}

kill_window_test() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
}

# wait_for_window TITLE_PATTERN: the id of the program's visible window whose title matches
# (a regular expression) in `window`, within 10 seconds; fails if the program ends first.
wait_for_window() {
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
        [ -n "$window" ] && return 0
        kill -0 "$app_pid" 2>/dev/null || fail "softcube ended before its window appeared: $(cat stderr.txt)"
        sleep 0.1
    done
    fail "no window titled '$1' appeared within 10 seconds"
}

# press KEY: one real press and release in the window that has the focus.
press() {
    xdotool keydown "$1"
    sleep 0.1
    xdotool keyup "$1"
    sleep 0.3
}

# f12_picture NAME: F12, then wait for the program to say (in stdout.txt) that it wrote the
# next numbered picture after shot.png (shot-0001.png, shot-0002.png, ...); keeps a copy as NAME.
f12_pictures=0
f12_picture() {
    f12_pictures=$((f12_pictures + 1))
    local numbered
    numbered=$(printf 'shot-%04d.png' "$f12_pictures")
    press F12
    for _ in $(seq 50); do
        grep -q "written to $numbered\$" stdout.txt && break
        sleep 0.1
    done
    grep -q "written to $numbered\$" stdout.txt || fail "F12 wrote no $numbered ($1): $(cat stdout.txt)"
    cp "$numbered" "$1"
}

# wait_for_exit WHAT: the program ends within 5 seconds with status 0.
wait_for_exit() {
    for _ in $(seq 50); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$app_pid" 2>/dev/null; then
        fail "softcube still runs 5 seconds after $1"
    fi
    wait "$app_pid"
    local status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "softcube exited with $status after $1: $(cat stderr.txt)"
}
