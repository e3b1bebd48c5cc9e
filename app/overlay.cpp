// The statistics overlay.
#include "app/overlay.h"

#include "runtime/text.h"
#include "surfaces/screen.h"

static_assert(overlay_format.size() == 89);

std::string print_overlay(const framestats_t& stats, const screen_t& screen) {
    rt::text_cursor(1, 1);
    return rt::print_using(overlay_format,
                           {stats.frames, stats.fps, stats.frame_ms, screen.triangle_count, screen.pixel_count});
}
