// The statistics overlay: its text for typical and awkward values, and where it is drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "base/graphics_screen.h"
#include "base/text.h"
#include "scene/overlay.h"
#include "surfaces/screen.h"

TEST(Overlay, PrintsTheFiveValuesInTheirFieldsInTheTopTextRow) {
    screen_t counters(800, 600, 90.0f);  // on the graphics screen
    ASSERT_NE(base::screen_framebuffer(), nullptr);
    const auto print = [&](uint32_t frames, double fps, double frame_ms, uint32_t triangles, uint32_t pixels) {
        framestats_t stats{};
        std::tie(stats.frames, stats.fps, stats.frame_ms, counters.triangle_count, counters.pixel_count) =
            std::tie(frames, fps, frame_ms, triangles, pixels);
        return print_overlay(stats, counters);
    };
    base::text_cursor(9, 9);
    EXPECT_EQ(print(1, 0.4, 2500.0, 12, 34567),
              "       1 Frames /   0.40 FPS / 2500.000000 ms per Frame /   12 Tiangles /    34567 Pixels");
    EXPECT_EQ(std::pair(base::text_cursor_row(), base::text_cursor_column()), std::pair(2, 1));  // the line ends

    // Drawn from the top-left cell: white ink in the first text row, none below it or past column 89.
    const uint8_t* fb = base::screen_framebuffer();
    size_t in_row = 0, elsewhere = 0;
    for (uint32_t i = 0; i < 800 * 600; ++i) {
        if (fb[i * 4] == 255 && fb[i * 4 + 1] == 255 && fb[i * 4 + 2] == 255)
            ++(i / 800 < 8 && i % 800 < 89 * 8 ? in_row : elsewhere);
    }
    EXPECT_GT(in_row, 500u);
    EXPECT_EQ(elsewhere, 0u);

    // Timings that do not fit keep the line's length and its columns (a first frame on a timer
    // that started a day ago); a zero interval shows an infinite rate. Triangle and pixel
    // counts that do not fit (a large model) widen their fields instead of hiding the number.
    EXPECT_EQ(print(123456789, 1234.5678, 86400000.25, 12345, 4294967295u),
              "******** Frames / 1234.6 FPS / 86400000.25 ms per Frame / 12345 Tiangles / 4294967295 Pixels");
    EXPECT_EQ(print(7, 60.0, 16.5, 9999, 99999999),
              "       7 Frames /  60.00 FPS /   16.500000 ms per Frame / 9999 Tiangles / 99999999 Pixels");
    EXPECT_EQ(print(7, 60.0, 16.5, 10000, 100000000),
              "       7 Frames /  60.00 FPS /   16.500000 ms per Frame / 10000 Tiangles / 100000000 Pixels");
    EXPECT_EQ(print(0, std::numeric_limits<double>::infinity(), 0.0, 0, 0),
              "       0 Frames /    inf FPS /    0.000000 ms per Frame /    0 Tiangles /        0 Pixels");
    base::screen_close(0);
}

TEST(Overlay, ATargetOfItsOwnGetsTheLineInItsOwnTopLeftCell) {
    ASSERT_NE(base::screen_open(64, 64, 32, 2, 0), nullptr);
    screen_t own(80, 20, 90.0f, screen_t::offscreen_tag{});
    framestats_t stats{};
    stats.frames = 3;
    EXPECT_EQ(print_overlay(stats, own).substr(0, 15), "       3 Frames");
    size_t ink = 0, below = 0;
    for (uint32_t i = 0; i < 80 * 20; ++i) {
        if (own.framebuffer[i * 4] == 255) ++(i / 80 < 8 ? ink : below);
    }
    EXPECT_GT(ink, 10u);  // the "3" and the "F" of the first ten cells
    EXPECT_EQ(below, 0u);
    const uint8_t* fb = base::screen_framebuffer();
    EXPECT_EQ(std::count(fb, fb + 64 * 64 * 4, 0), 64 * 64 * 4);  // the graphics screen is untouched
    base::screen_close(0);
}
