// The graphics screen: opening, presenting through an attached presenter, the filled box with clipping and blending.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "base/graphics_screen.h"

TEST(GraphicsScreen, OpenGivesAZeroedFramebufferAndRefusesWhatItCannotShow) {
    uint8_t* fb = base::screen_open(5, 3, 32, 2, base::screen_option_alpha_primitives);
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(base::screen_framebuffer(), fb);
    EXPECT_EQ(std::pair(base::screen_width(), base::screen_height()), std::pair(5u, 3u));
    EXPECT_EQ(std::vector<uint8_t>(fb, fb + 60), std::vector<uint8_t>(60, 0));
    EXPECT_EQ(base::screen_open(5, 3, 16, 2, 0), nullptr);
    EXPECT_EQ(base::screen_framebuffer(), nullptr);
    EXPECT_EQ(base::screen_open(0, 3, 32, 2, 0), nullptr);
    EXPECT_EQ(base::screen_open(5, base::screen_max_side + 1, 32, 2, 0), nullptr);
    // Without a screen drawing and an unbalanced unlock are harmless.
    base::fill_box(0.0f, 0.0f, 10.0f, 10.0f, 0xFFFFFFFF);
    base::screen_unlock(-1, -1);
}

namespace {

struct recording_presenter_t final : base::screen_presenter_t {
    std::vector<std::pair<uint32_t, uint32_t>> shown;  // first and last row of each present
    int detached = 0;
    void present(const uint8_t*, uint32_t, uint32_t, uint32_t first_row, uint32_t last_row) override {
        shown.emplace_back(first_row, last_row);
    }
    void detach() override { ++detached; }
};

}  // namespace

TEST(GraphicsScreen, TheOutermostUnlockPresentsTheClippedRowsAndANewScreenDetachesThePresenter) {
    recording_presenter_t presenter;
    ASSERT_NE(base::screen_open(4, 10, 32, 2, 0), nullptr);
    base::set_screen_presenter(&presenter);
    base::screen_lock();
    base::screen_lock();
    base::screen_unlock(-1, -1);  // nested: nothing shown yet
    base::screen_unlock(-1, -1);
    base::screen_lock();
    base::screen_unlock(7, 2);  // reversed, and
    base::screen_lock();
    base::screen_unlock(5, 99);  // beyond the bottom
    base::screen_lock();
    base::screen_unlock(12, 20);  // entirely below: nothing
    EXPECT_EQ(presenter.shown, (std::vector<std::pair<uint32_t, uint32_t>>{{0, 9}, {2, 7}, {5, 9}}));
    EXPECT_EQ(presenter.detached, 0);
    ASSERT_NE(base::screen_open(2, 2, 32, 2, 0), nullptr);
    EXPECT_EQ(presenter.detached, 1);
    EXPECT_EQ(base::screen_presenter(), nullptr);
    base::screen_lock();
    base::screen_unlock(-1, -1);
    EXPECT_EQ(presenter.shown.size(), 3u);
    base::screen_close(0);
    EXPECT_EQ(presenter.detached, 1);
}

TEST(GraphicsScreen, FilledBoxIncludesBothCornersRoundsClipsAndBlends) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    uint8_t* fb = base::screen_open(6, 4, 32, 2, base::screen_option_alpha_primitives);
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
        base::fill_box(c[0], c[1], c[2], c[3], 0xFF010203);
        std::string mask;  // '#' where the bytes are blue 3, green 2, red 1, alpha 255
        for (uint32_t i = 0; i < 24; ++i)
            mask += std::string(std::memcmp(fb + i * 4, "\3\2\1\377", 4) == 0 ? "#" : ".") + (i % 6 == 5 ? "|" : "");
        EXPECT_EQ(mask, expected) << "box " << c[0] << "," << c[1] << " to " << c[2] << "," << c[3];
    }

    // The colour blends by its alpha with the blending option, and is written as it is without.
    fb = base::screen_open(2, 1, 32, 2, base::screen_option_alpha_primitives);
    ASSERT_NE(fb, nullptr);
    const std::vector<uint8_t> old = {200, 100, 0, 255, 10, 20, 30, 0};
    std::copy(old.begin(), old.end(), fb);
    base::fill_box(0.0f, 0.0f, 1.0f, 0.0f, 0x80FF0040);  // alpha 128, red 255, green 0, blue 64
    // channel = (new * 128 + old * 127 + 127) / 255; alpha = 128 + (old alpha * 127 + 127) / 255
    EXPECT_EQ(std::vector<uint8_t>(fb, fb + 8), std::vector<uint8_t>({132, 50, 128, 255, 37, 10, 143, 128}));
    base::fill_box(0.0f, 0.0f, 1.0f, 0.0f, 0x00FFFFFF);  // fully transparent: nothing changes
    EXPECT_EQ(std::vector<uint8_t>(fb, fb + 8), std::vector<uint8_t>({132, 50, 128, 255, 37, 10, 143, 128}));
    fb = base::screen_open(2, 1, 32, 2, 0);
    ASSERT_NE(fb, nullptr);
    base::fill_box(0.0f, 0.0f, 1.0f, 0.0f, 0x80FF0040);
    EXPECT_EQ(std::vector<uint8_t>(fb, fb + 4), std::vector<uint8_t>({64, 0, 255, 128}));
    base::screen_close(0);
}
