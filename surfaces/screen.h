// screen_t: the program's render target on the graphics screen, with its draw state and frame counters.
#pragma once

#include <cstdint>
#include <memory>

#include "base/thread_pool.h"
#include "surfaces/draw_state.h"
#include "surfaces/frame_counters.h"
#include "surfaces/render_target.h"

// The screen is the three parts the renderer takes one by one (the pixels and depths, how
// to draw, what was counted), so code that has a screen hands it over whole where a part is
// asked for, and code that has none builds the parts on their own.
struct screen_t : render_target_t, draw_state_t, frame_counters_t {
    // Workers that meshes draw with, in bands (not owned); none: the calling thread alone.
    // Any number of threads gives the same picture and counters.
    base::thread_pool_t* threads = nullptr;

    // Opens the graphics screen at this size and draws into its framebuffer. The field of
    // view is stored as given (degrees, for the program's 90) until set_fov converts it.
    screen_t();
    screen_t(uint32_t width, uint32_t height, float fov);

    // A target with a framebuffer of its own, independent of the graphics screen: for
    // tests, benchmarks and tools that need several targets at once.
    struct offscreen_tag {};
    screen_t(uint32_t width, uint32_t height, float fov, offscreen_tag);

    uint8_t* get_framebuffer() const { return framebuffer; }
    // The colour clear paints through the graphics screen's box primitive (or the same one on
    // an offscreen target's pixels) and zeroes the counters; the depth clear sets 1.0e37.
    void clear(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue);
    void clear_zbuffer();
    // Both clears, the rows shared among the threads in one hand-over instead of two.
    void clear_frame(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue);

    // With ssaa above 1 a frame is drawn into this target, ssaa times the screen's size each
    // way, and averaged into the screen's pixels (scene/demo_frame.h). make_samples() makes it
    // (or drops it) for the current ssaa and size; false, with none made, when that size is
    // beyond base::screen_max_side or there is no memory for it. The caller checks the memory
    // available first, as for any picture.
    std::unique_ptr<screen_t> samples;
    bool make_samples();

private:
    void paint_screen_rows(uint64_t first, uint64_t end, uint32_t argb);
};
