// The statistics overlay: its text for typical and awkward values, and where it is drawn.
#include <gtest/gtest.h>

#include <limits>

#include "app/overlay.h"
#include "runtime/screen.h"
#include "runtime/text.h"
#include "target/screen.h"

namespace {

bool inked(const uint8_t* fb, uint32_t x, uint32_t y) {
    const uint8_t* p = fb + (static_cast<size_t>(y) * 800 + x) * 4;
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

}  // namespace

TEST(Overlay, PrintsTheFiveValuesInTheirFields) {
    ASSERT_NE(rt::screen_open(800, 600, 32, 2, rt::screen_option_alpha_primitives), nullptr);
    screen_t counters(1, 1, 90.0f, screen_t::offscreen_tag{});
    framestats_t stats{};
    stats.frames = 1;
    stats.fps = 0.4;
    stats.frame_ms = 2500.0;
    counters.triangle_count = 12;
    counters.pixel_count = 34567;
    rt::text_cursor(9, 9);
    EXPECT_EQ(print_overlay(stats, counters),
              "       1 Frames /   0.40 FPS / 2500.000000 ms per Frame /   12 Tiangles /    34567 Pixels");
    EXPECT_EQ(rt::text_cursor_row(), 2);
    EXPECT_EQ(rt::text_cursor_column(), 1);

    // Drawn from the top-left cell: ink in the first text row, none below it or past column 89.
    const uint8_t* fb = rt::screen_framebuffer();
    size_t ink_in_row = 0;
    size_t ink_elsewhere = 0;
    for (uint32_t y = 0; y < 600; ++y) {
        for (uint32_t x = 0; x < 800; ++x) {
            if (!inked(fb, x, y)) continue;
            if (y < 8 && x < 89 * 8) {
                ++ink_in_row;
            } else {
                ++ink_elsewhere;
            }
        }
    }
    EXPECT_GT(ink_in_row, 500u);
    EXPECT_EQ(ink_elsewhere, 0u);

    // Values that do not fit keep the line's length and its columns.
    stats.frames = 123456789;
    stats.fps = 1234.5678;
    stats.frame_ms = 86400000.25;  // a first frame on a timer that started a day ago
    counters.triangle_count = 12345;
    counters.pixel_count = 4294967295u;
    EXPECT_EQ(print_overlay(stats, counters),
              "******** Frames / 1234.6 FPS / 86400000.25 ms per Frame / **** Tiangles / ******** Pixels");

    stats.frames = 0;
    stats.fps = std::numeric_limits<double>::infinity();
    stats.frame_ms = 0.0;
    counters.triangle_count = 0;
    counters.pixel_count = 0;
    EXPECT_EQ(print_overlay(stats, counters),
              "       0 Frames /    inf FPS /    0.000000 ms per Frame /    0 Tiangles /        0 Pixels");
    rt::screen_close(0);
}
