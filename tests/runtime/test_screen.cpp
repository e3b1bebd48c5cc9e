// The runtime screen: opening, the filled box with clipping and blending, keys without a window.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "runtime/keyboard.h"
#include "runtime/screen.h"

TEST(RuntimeScreen, OpenGivesAZeroedFramebufferAndRefusesWhatItCannotShow) {
    uint8_t* fb = rt::screen_open(5, 3, 32, 2, rt::screen_option_alpha_primitives);
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(rt::screen_framebuffer(), fb);
    EXPECT_EQ(std::pair(rt::screen_width(), rt::screen_height()), std::pair(5u, 3u));
    EXPECT_EQ(std::vector<uint8_t>(fb, fb + 60), std::vector<uint8_t>(60, 0));
    EXPECT_EQ(rt::screen_open(5, 3, 16, 2, 0), nullptr);
    EXPECT_EQ(rt::screen_framebuffer(), nullptr);
    EXPECT_EQ(rt::screen_open(0, 3, 32, 2, 0), nullptr);
    EXPECT_EQ(rt::screen_open(5, rt::screen_max_side + 1, 32, 2, 0), nullptr);
    // Without a screen drawing and an unbalanced unlock are harmless; without a window no key is held.
    rt::fill_box(0.0f, 0.0f, 10.0f, 10.0f, 0xFFFFFFFF);
    rt::screen_unlock(-1, -1);
    EXPECT_FALSE(rt::window_enabled());
    for (const int code : {rt::scancode_escape, 0, -1, 1000}) EXPECT_EQ(rt::key_state(code), 0) << "key " << code;
    EXPECT_FALSE(rt::window_close_requested());
}

TEST(RuntimeScreen, FilledBoxIncludesBothCornersRoundsClipsAndBlends) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    uint8_t* fb = rt::screen_open(6, 4, 32, 2, rt::screen_option_alpha_primitives);
    ASSERT_NE(fb, nullptr);
    const std::pair<std::vector<float>, const char*> boxes[] = {
        {{1, 1, 3, 2}, "......|.###..|.###..|......|"},
        {{3, 2, 1, 1}, "......|.###..|.###..|......|"},
        {{-5, -5, 1, 0}, "##....|......|......|......|"},
        {{4.4f, 2.6f, 100, 1e30f}, "......|......|......|....##|"},
        {{6, 0, 9, 3}, "......|......|......|......|"},
        {{0, 4, 5, 40}, "......|......|......|......|"},
        {{nan, 0, 5, 3}, "......|......|......|......|"},
        {{0, 0, 5, nan}, "......|......|......|......|"},
        {{-inf, -inf, inf, inf}, "######|######|######|######|"}};
    for (const auto& [c, expected] : boxes) {
        std::memset(fb, 0, 6 * 4 * 4);
        rt::fill_box(c[0], c[1], c[2], c[3], 0xFF010203);
        std::string mask;  // '#' where the bytes are blue 3, green 2, red 1, alpha 255
        for (uint32_t i = 0; i < 24; ++i)
            mask += std::string(std::memcmp(fb + i * 4, "\3\2\1\377", 4) == 0 ? "#" : ".") + (i % 6 == 5 ? "|" : "");
        EXPECT_EQ(mask, expected) << "box " << c[0] << "," << c[1] << " to " << c[2] << "," << c[3];
    }

    // The colour blends by its alpha with the blending option, and is written as it is without.
    fb = rt::screen_open(2, 1, 32, 2, rt::screen_option_alpha_primitives);
    ASSERT_NE(fb, nullptr);
    const std::vector<uint8_t> old = {200, 100, 0, 255, 10, 20, 30, 0};
    std::copy(old.begin(), old.end(), fb);
    rt::fill_box(0.0f, 0.0f, 1.0f, 0.0f, 0x80FF0040);  // alpha 128, red 255, green 0, blue 64
    // channel = (new * 128 + old * 127 + 127) / 255; alpha = 128 + (old alpha * 127 + 127) / 255
    EXPECT_EQ(std::vector<uint8_t>(fb, fb + 8), std::vector<uint8_t>({132, 50, 128, 255, 37, 10, 143, 128}));
    rt::fill_box(0.0f, 0.0f, 1.0f, 0.0f, 0x00FFFFFF);  // fully transparent: nothing changes
    EXPECT_EQ(std::vector<uint8_t>(fb, fb + 8), std::vector<uint8_t>({132, 50, 128, 255, 37, 10, 143, 128}));
    fb = rt::screen_open(2, 1, 32, 2, 0);
    ASSERT_NE(fb, nullptr);
    rt::fill_box(0.0f, 0.0f, 1.0f, 0.0f, 0x80FF0040);
    EXPECT_EQ(std::vector<uint8_t>(fb, fb + 4), std::vector<uint8_t>({64, 0, 255, 128}));
    rt::screen_close(0);
}
