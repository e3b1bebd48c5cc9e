// The runtime screen: opening, the filled box with clipping and blending, closing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "runtime/keyboard.h"
#include "runtime/screen.h"

namespace {

struct bgra {
    uint8_t b, g, r, a;
    bool operator==(const bgra&) const = default;
};

bgra at(const uint8_t* fb, uint32_t width, uint32_t x, uint32_t y) {
    const uint8_t* p = fb + (static_cast<size_t>(y) * width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

// Marks the pixels of a w x h buffer that hold the colour, row by row, as '#' and others '.'.
std::string mask(const uint8_t* fb, uint32_t w, uint32_t h, bgra colour) {
    std::string m;
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) m += at(fb, w, x, y) == colour ? '#' : '.';
        m += '\n';
    }
    return m;
}

}  // namespace

TEST(RuntimeScreen, OpenGivesAZeroedFramebufferAndRejectsWhatItCannotShow) {
    uint8_t* fb = rt::screen_open(5, 3, 32, 2, rt::screen_option_alpha_primitives);
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(rt::screen_framebuffer(), fb);
    EXPECT_EQ(rt::screen_width(), 5u);
    EXPECT_EQ(rt::screen_height(), 3u);
    EXPECT_EQ(std::vector<uint8_t>(fb, fb + 5 * 3 * 4), std::vector<uint8_t>(5 * 3 * 4, 0));
    EXPECT_FALSE(rt::window_enabled());

    EXPECT_EQ(rt::screen_open(5, 3, 16, 2, 0), nullptr);
    EXPECT_EQ(rt::screen_framebuffer(), nullptr);
    EXPECT_EQ(rt::screen_open(0, 3, 32, 2, 0), nullptr);
    EXPECT_EQ(rt::screen_open(5, rt::screen_max_side + 1, 32, 2, 0), nullptr);
    EXPECT_EQ(rt::screen_width(), 0u);

    // Without a screen every operation is harmless.
    rt::fill_box(0.0f, 0.0f, 10.0f, 10.0f, 0xFFFFFFFF);
    rt::screen_lock();
    rt::screen_unlock(-1, -1);
    rt::screen_unlock(-1, -1);  // unbalanced
    rt::screen_close(0);
    EXPECT_EQ(rt::screen_framebuffer(), nullptr);
}

TEST(RuntimeScreen, FilledBoxIncludesBothCornersAndIsClippedToTheScreen) {
    const bgra ink{3, 2, 1, 255};
    const uint32_t argb = 0xFF010203;
    uint8_t* fb = rt::screen_open(6, 4, 32, 2, rt::screen_option_alpha_primitives);
    ASSERT_NE(fb, nullptr);

    rt::fill_box(1.0f, 1.0f, 3.0f, 2.0f, argb);
    EXPECT_EQ(mask(fb, 6, 4, ink), "......\n.###..\n.###..\n......\n");

    std::memset(fb, 0, 6 * 4 * 4);
    rt::fill_box(3.0f, 2.0f, 1.0f, 1.0f, argb);  // corners in either order
    EXPECT_EQ(mask(fb, 6, 4, ink), "......\n.###..\n.###..\n......\n");

    std::memset(fb, 0, 6 * 4 * 4);
    rt::fill_box(-5.0f, -5.0f, 1.0f, 0.0f, argb);
    EXPECT_EQ(mask(fb, 6, 4, ink), "##....\n......\n......\n......\n");

    std::memset(fb, 0, 6 * 4 * 4);
    rt::fill_box(4.4f, 2.6f, 100.0f, 1.0e30f, argb);  // corners round to the nearest pixel
    EXPECT_EQ(mask(fb, 6, 4, ink), "......\n......\n......\n....##\n");

    // Entirely outside, or not a number: nothing.
    std::memset(fb, 0, 6 * 4 * 4);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    rt::fill_box(6.0f, 0.0f, 9.0f, 3.0f, argb);
    rt::fill_box(-9.0f, 0.0f, -1.0f, 3.0f, argb);
    rt::fill_box(0.0f, 4.0f, 5.0f, 40.0f, argb);
    rt::fill_box(nan, 0.0f, 5.0f, 3.0f, argb);
    rt::fill_box(0.0f, 0.0f, 5.0f, nan, argb);
    EXPECT_EQ(mask(fb, 6, 4, ink), "......\n......\n......\n......\n");

    rt::fill_box(-inf, -inf, inf, inf, argb);
    EXPECT_EQ(mask(fb, 6, 4, ink), "######\n######\n######\n######\n");

    // What screen_t::clear draws: (0, 0) to (width, height).
    rt::fill_box(0.0f, 0.0f, 6.0f, 4.0f, 0xFF000010);
    EXPECT_EQ(mask(fb, 6, 4, bgra{16, 0, 0, 255}), "######\n######\n######\n######\n");
    rt::screen_close(0);
}

TEST(RuntimeScreen, FilledBoxBlendsByItsAlphaOnlyWithTheBlendingOption) {
    uint8_t* fb = rt::screen_open(2, 1, 32, 2, rt::screen_option_alpha_primitives);
    ASSERT_NE(fb, nullptr);
    const uint8_t old[8] = {200, 100, 0, 255, 10, 20, 30, 0};
    std::memcpy(fb, old, 8);
    rt::fill_box(0.0f, 0.0f, 1.0f, 0.0f, 0x80FF0040);  // alpha 128, red 255, green 0, blue 64
    // channel = (new * 128 + old * 127 + 127) / 255; alpha = 128 + (old alpha * 127 + 127) / 255
    EXPECT_EQ(at(fb, 2, 0, 0), (bgra{132, 50, 128, 255}));
    EXPECT_EQ(at(fb, 2, 1, 0), (bgra{37, 10, 143, 128}));

    std::memcpy(fb, old, 8);
    rt::fill_box(0.0f, 0.0f, 1.0f, 0.0f, 0x00FFFFFF);  // fully transparent: nothing changes
    EXPECT_EQ(std::vector<uint8_t>(fb, fb + 8), std::vector<uint8_t>(old, old + 8));

    fb = rt::screen_open(2, 1, 32, 2, 0);
    ASSERT_NE(fb, nullptr);
    rt::fill_box(0.0f, 0.0f, 1.0f, 0.0f, 0x80FF0040);  // no option: the colour is written as it is
    EXPECT_EQ(at(fb, 2, 0, 0), (bgra{64, 0, 255, 128}));
    rt::screen_close(0);
}

TEST(RuntimeScreen, WithoutAWindowNoKeyIsHeldAndNoCloseIsRequested) {
    ASSERT_NE(rt::screen_open(8, 8, 32, 2, 0), nullptr);
    for (const int code : {rt::scancode_escape, 0, -1, 0x1C, 0x58, 0x59, 1000}) {
        EXPECT_EQ(rt::key_state(code), 0) << code;
    }
    EXPECT_FALSE(rt::window_close_requested());
    rt::screen_close(0);
}
