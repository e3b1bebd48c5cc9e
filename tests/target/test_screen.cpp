// screen_t: construction, field of view, clearing of the framebuffer and the depth buffer.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

#include "runtime/screen.h"
#include "target/screen.h"

namespace {

using offscreen = screen_t::offscreen_tag;

}  // namespace

TEST(Screen, ConstructionFillsTheFieldsAsTheRuntimeScreenIsOpened) {
    {
        screen_t s(800, 600, 90.0f);
        EXPECT_EQ(s.bytes_per_pixel, 4u);
        ASSERT_NE(s.framebuffer, nullptr);
        EXPECT_EQ(s.framebuffer, rt::screen_framebuffer());
        EXPECT_EQ(s.get_framebuffer(), s.framebuffer);
        EXPECT_EQ(s.width, 800u);
        EXPECT_EQ(s.height, 600u);
        EXPECT_EQ(s.zbuffer_size, 1920000u);
        ASSERT_NE(s.zbuffer, nullptr);
        EXPECT_EQ(s.zbuffer[0], 0.0f);
        EXPECT_EQ(s.zbuffer[800 * 600 - 1], 0.0f);
        EXPECT_EQ(s.fov, 90.0f);  // stored as given until set_fov
        EXPECT_EQ(s.textured, 0);
        EXPECT_EQ(s.wireframe, 0);
        EXPECT_EQ(s.cull_backfaces, 0);
        EXPECT_EQ(s.triangle_count, 0u);
        EXPECT_EQ(s.pixel_count, 0u);
    }
    {
        screen_t s;
        EXPECT_EQ(s.width, 800u);
        EXPECT_EQ(s.height, 600u);
        EXPECT_EQ(s.fov, 90.0f);
    }
    rt::screen_close(0);
}

TEST(Screen, SetFovStoresRadiansNearestToTheExactValue) {
    screen_t s(4, 4, 0.0f, offscreen{});
    s.set_fov(90.0f);
    EXPECT_EQ(s.fov, 1.57079637f);
    EXPECT_EQ(s.fov, static_cast<float>(std::numbers::pi / 2));
    s.set_fov(180.0f);
    EXPECT_EQ(s.fov, 3.14159274f);
    s.set_fov(0.0f);
    EXPECT_EQ(s.fov, 0.0f);
    s.set_fov(45.0f);
    EXPECT_EQ(s.fov, 0.785398185f);
}

TEST(Screen, ClearMakesEveryPixelOpaqueDarkBlueAndZeroesTheCounters) {
    screen_t s(800, 600, 90.0f, offscreen{});
    ASSERT_NE(s.framebuffer, nullptr);
    std::memset(s.framebuffer, 0x5A, 800 * 600 * 4);
    s.triangle_count = 12;
    s.pixel_count = 123456;
    s.clear(255, 0, 0, 16);
    EXPECT_EQ(s.triangle_count, 0u);
    EXPECT_EQ(s.pixel_count, 0u);
    size_t wrong = 0;
    for (size_t i = 0; i < 800 * 600; ++i) {
        const uint8_t* p = s.framebuffer + i * 4;
        wrong += !(p[0] == 16 && p[1] == 0 && p[2] == 0 && p[3] == 255);
    }
    EXPECT_EQ(wrong, 0u);

    // Only the low 8 bits of each argument count.
    s.clear(0x1FF, 0x100, 0x2AB, 0x310);
    EXPECT_EQ(s.framebuffer[0], 0x10);
    EXPECT_EQ(s.framebuffer[1], 0xAB);
    EXPECT_EQ(s.framebuffer[2], 0x00);
    EXPECT_EQ(s.framebuffer[3], 0xFF);

    // A translucent clear blends over the old picture, as the screen's primitives do.
    s.clear(0, 255, 255, 255);
    EXPECT_EQ(s.framebuffer[1], 0xAB);
}

TEST(Screen, ClearThroughTheRuntimeScreenReachesEveryPixel) {
    screen_t s(7, 5, 90.0f);
    ASSERT_NE(s.framebuffer, nullptr);
    s.pixel_count = 9;
    s.clear(255, 0, 0, 16);
    EXPECT_EQ(s.pixel_count, 0u);
    for (size_t i = 0; i < 7 * 5; ++i) {
        const uint8_t* p = s.framebuffer + i * 4;
        ASSERT_TRUE(p[0] == 16 && p[1] == 0 && p[2] == 0 && p[3] == 255) << i;
    }
    rt::screen_close(0);
}

TEST(Screen, ClearZbufferSetsEveryElementToExactly1e37) {
    screen_t s(800, 600, 90.0f, offscreen{});
    ASSERT_NE(s.zbuffer, nullptr);
    s.zbuffer[0] = -1.0f;
    s.zbuffer[800 * 600 - 1] = 5.0f;
    s.clear_zbuffer();
    const uint32_t bits = std::bit_cast<uint32_t>(1.0e37f);
    EXPECT_EQ(1.0e37f, 9.99999993e+36f);
    size_t wrong = 0;
    for (size_t i = 0; i < 800 * 600; ++i) wrong += std::bit_cast<uint32_t>(s.zbuffer[i]) != bits;
    EXPECT_EQ(wrong, 0u);
}

TEST(Screen, SizesThatCannotBeServedGiveAnEmptyTarget) {
    for (const auto& [w, h] : {std::pair<uint32_t, uint32_t>{0, 10}, {10, 0}, {rt::screen_max_side + 1, 2}}) {
        screen_t s(w, h, 90.0f, offscreen{});
        EXPECT_EQ(s.framebuffer, nullptr);
        EXPECT_EQ(s.zbuffer, nullptr);
        EXPECT_EQ(s.width, 0u);
        EXPECT_EQ(s.height, 0u);
        EXPECT_EQ(s.zbuffer_size, 0u);
        s.pixel_count = 3;
        s.clear(255, 0, 0, 16);
        s.clear_zbuffer();
        EXPECT_EQ(s.pixel_count, 0u);

        screen_t on_runtime(w, h, 90.0f);
        EXPECT_EQ(on_runtime.framebuffer, nullptr);
        EXPECT_EQ(on_runtime.width, 0u);
        on_runtime.clear(255, 0, 0, 16);
        on_runtime.clear_zbuffer();
    }
    rt::screen_close(0);
}
