// framestats_t: the frame-timing record whose values the overlay prints.
#pragma once

#include <cstdint>

struct framestats_t {
    double last_ms = 0.0;   // timestamp of the previous update
    double now_ms = 0.0;    // timestamp of the latest update
    double frame_ms = 0.0;  // now_ms - last_ms
    uint32_t frames = 0;    // number of updates, modulo 2^32
    double fps = 0.0;       // 1000 / frame_ms; +infinity for a zero interval

    // Takes the runtime timer's reading.
    void update();
    // The same with a given timer reading in seconds.
    void update_at(long double seconds);
};
