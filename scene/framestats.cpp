// Frame timing: the last single frame's interval and rate, without smoothing.
#include "scene/framestats.h"

#include "runtime/timer.h"

void framestats_t::update() { update_at(rt::timer()); }

void framestats_t::update_at(long double seconds) {
    last_ms = now_ms;
    now_ms = static_cast<double>(seconds * 1000.0L);
    frame_ms = now_ms - last_ms;
    fps = 1000.0 / frame_ms;  // IEEE division: a zero interval gives +infinity
    frames = frames + 1u;     // unsigned: wraps to 0 after 2^32 - 1
}
