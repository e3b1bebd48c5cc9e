#!/usr/bin/env bash
# The command line as a user meets it: bad input, help, benchmark output and the run
# without any display.
# Usage: command_line.sh SOFTCUBE ASSETS_DIR WORK_DIR
set -u
softcube=$1
. "$(dirname "$0")/common.sh"
prepare_work_dir "$2" "$3"

# expect_usage_error ARGS...: exit status 2, one error line on stderr ending in the hint at
# --help, nothing on stdout.
expect_usage_error() {
    "$softcube" "$@" >stdout.txt 2>stderr.txt
    local status=$?
    [ "$status" -eq 2 ] || fail "'$*' exited with $status, expected 2"
    [ ! -s stdout.txt ] || fail "'$*' printed to stdout: $(cat stdout.txt)"
    [ "$(wc -l <stderr.txt)" -eq 1 ] || fail "'$*' stderr is not one line: $(cat stderr.txt)"
    grep -q '^softcube: .* (softcube --help lists the options)$' stderr.txt || fail "'$*' error line: $(cat stderr.txt)"
}

expect_usage_error --no-such-option
expect_usage_error extra.obj other.obj
expect_usage_error --frames
expect_usage_error --frames abc
expect_usage_error --frames 0
expect_usage_error --frames -5
expect_usage_error --frames 12x
expect_usage_error --frames 99999999999999999999999
expect_usage_error --benchmark 1.5
expect_usage_error --headless=yes
expect_usage_error --benchmark 10 --frames 10
for bad in 0 -1 abc 257 2.5 ""; do expect_usage_error --threads "$bad"; done
SOFTCUBE_THREADS=0 expect_usage_error --headless --frames 1
SOFTCUBE_THREADS=many expect_usage_error --headless --frames 1

"$softcube" --help >stdout.txt 2>stderr.txt || fail "--help exited with $?"
grep -q '^usage: softcube' stdout.txt || fail "--help shows no usage"

# A screenshot that cannot be written: one line, non-zero exit, before any frame is drawn.
for bad in /nonexistent-dir/out.png out.txt "$PWD"; do
    "$softcube" --headless --frames 2 --screenshot "$bad" >stdout.txt 2>stderr.txt
    status=$?
    [ "$status" -ne 0 ] || fail "--screenshot '$bad' exited with 0"
    [ "$(wc -l <stderr.txt)" -eq 1 ] || fail "--screenshot '$bad' stderr is not one line: $(cat stderr.txt)"
done

"$softcube" --benchmark 20 >stdout.txt 2>stderr.txt || fail "--benchmark 20 exited with $?: $(cat stderr.txt)"
[ "$(wc -l <stdout.txt)" -eq 2 ] || fail "--benchmark prints two lines, got: $(cat stdout.txt)"
number='[0-9]+(\.[0-9]+)?'
bench_pattern="^frames=20 median_ms=$number mean_ms=$number p95_ms=$number fps=$number triangles=[0-9]+ pixels=[0-9]+"
grep -Eq "$bench_pattern threads=[0-9]+ isa=(portable|sse2|avx2|avx512) load_ms=$number\$" <(tail -1 stdout.txt) ||
    fail "benchmark line: $(tail -1 stdout.txt)"
# The thread count: the option wins over SOFTCUBE_THREADS, which wins over the cores; the
# counters are the same for every count.
SOFTCUBE_THREADS=2 "$softcube" --benchmark 20 --threads 3 >stdout.txt 2>stderr.txt || fail "--threads 3: $(cat stderr.txt)"
grep -Eq "$bench_pattern threads=3 isa=[a-z0-9]+ " <(tail -1 stdout.txt) || fail "--threads 3 benchmark line: $(tail -1 stdout.txt)"
counts3=$(tail -1 stdout.txt | grep -Eo 'triangles=[0-9]+ pixels=[0-9]+')
SOFTCUBE_THREADS=1 "$softcube" --benchmark 20 >stdout.txt 2>stderr.txt || fail "SOFTCUBE_THREADS=1: $(cat stderr.txt)"
grep -Eq "$bench_pattern threads=1 isa=[a-z0-9]+ " <(tail -1 stdout.txt) || fail "SOFTCUBE_THREADS=1 line: $(tail -1 stdout.txt)"
[ "$(tail -1 stdout.txt | grep -Eo 'triangles=[0-9]+ pixels=[0-9]+')" = "$counts3" ] ||
    fail "counters differ between 1 and 3 threads: $(tail -1 stdout.txt) / $counts3"

# SOFTCUBE_ISA holds the program to one span path, named in the benchmark line; every path
# draws the same picture, byte for byte.
env -u SOFTCUBE_ISA "$softcube" --benchmark 5 >stdout.txt 2>stderr.txt || fail "--benchmark 5 exited with $?: $(cat stderr.txt)"
best_isa=$(tail -1 stdout.txt | sed -n 's/.* isa=\([a-z0-9]*\).*/\1/p')
SOFTCUBE_ISA=portable "$softcube" --benchmark 5 >stdout.txt 2>stderr.txt ||
    fail "SOFTCUBE_ISA=portable exited with $?: $(cat stderr.txt)"
grep -Eq "^frames=5 .* isa=portable " <(tail -1 stdout.txt) || fail "SOFTCUBE_ISA=portable line: $(tail -1 stdout.txt)"
[ ! -s stderr.txt ] || fail "SOFTCUBE_ISA=portable warned: $(cat stderr.txt)"
env -u SOFTCUBE_ISA "$softcube" --headless --frame 100 --no-overlay --screenshot default.png >/dev/null 2>stderr.txt ||
    fail "the default path's screenshot: $(cat stderr.txt)"
SOFTCUBE_ISA=portable "$softcube" --headless --frame 100 --no-overlay --screenshot portable.png >/dev/null \
    2>stderr.txt || fail "the portable path's screenshot: $(cat stderr.txt)"
cmp -s default.png portable.png || fail "frame 100 on the portable path differs from the $best_isa path's"
# A name the program does not know: one warning line, and the run goes on with the widest path.
SOFTCUBE_ISA=bogus "$softcube" --benchmark 5 >stdout.txt 2>stderr.txt ||
    fail "SOFTCUBE_ISA=bogus exited with $?: $(cat stderr.txt)"
[ "$(wc -l <stderr.txt)" -eq 1 ] || fail "SOFTCUBE_ISA=bogus: expected one warning line, got: $(cat stderr.txt)"
grep -q "^softcube: SOFTCUBE_ISA=bogus is not a span path .*; using $best_isa\$" stderr.txt ||
    fail "SOFTCUBE_ISA=bogus warning: $(cat stderr.txt)"
grep -Eq "^frames=5 .* isa=$best_isa " <(tail -1 stdout.txt) || fail "SOFTCUBE_ISA=bogus line: $(tail -1 stdout.txt)"

# No display at all: one line saying so, 300 frames offscreen, the statistics line and the picture's path.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$softcube" >stdout.txt 2>stderr.txt
status=$?
[ "$status" -eq 0 ] || fail "the run without a display exited with $status: $(cat stderr.txt)"
[ "$(wc -l <stderr.txt)" -eq 1 ] || fail "expected one line about the missing display, got: $(cat stderr.txt)"
grep -q 'no window' stderr.txt || fail "the missing display is not reported: $(cat stderr.txt)"
grep -Eq '^     300 Frames / ' <(head -1 stdout.txt) || fail "statistics line: $(head -1 stdout.txt)"
written=$(sed -n 's/^last frame written to //p' stdout.txt)
[ "$written" = "$PWD/softcube-last-frame.png" ] || fail "picture path: '$written'"
check_frame "$written" PNG any-angle

# A display that cannot be reached: the same fallback, for the frames asked for.
rm -f softcube-last-frame.png
DISPLAY=:nonexistent "$softcube" --frames 2 >stdout.txt 2>stderr.txt
status=$?
[ "$status" -eq 0 ] || fail "the run with a broken display exited with $status: $(cat stderr.txt)"
grep -q 'no window' stderr.txt || fail "the broken display is not reported: $(cat stderr.txt)"
grep -Eq '^       2 Frames / ' <(head -1 stdout.txt) || fail "statistics line: $(head -1 stdout.txt)"
[ -s softcube-last-frame.png ] || fail "no picture written with a broken display"

# A missing tex.bmp is one warning line; the cube never samples it, so the run goes on.
mkdir -p no-texture
(cd no-texture && "$softcube" --headless --frames 1 >stdout.txt 2>stderr.txt) || fail "the run without tex.bmp failed"
[ "$(wc -l <no-texture/stderr.txt)" -eq 1 ] && grep -q 'could not load texture "tex.bmp"' no-texture/stderr.txt ||
    fail "the missing tex.bmp is not reported in one line: $(cat no-texture/stderr.txt)"

echo "command line checks passed"
