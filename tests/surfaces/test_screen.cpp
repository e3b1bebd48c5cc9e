// screen_t: construction, field of view, clearing of the framebuffer and the depth buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <numbers>
#include <tuple>

#include "base/graphics_screen.h"
#include "surfaces/screen.h"

namespace {

// How many of the screen's pixels hold exactly these B, G, R, A bytes.
size_t pixels_equal(const screen_t& s, std::vector<uint8_t> bgra) {
    size_t n = 0;
    for (size_t i = 0; i < size_t{s.width} * s.height; ++i)
        n += std::equal(bgra.begin(), bgra.end(), s.framebuffer + i * 4);
    return n;
}

}  // namespace

TEST(Screen, ConstructionOpensTheRuntimeScreenWithAZeroedDepthBuffer) {
    {
        const screen_t s;  // as (800, 600, 90)
        ASSERT_NE(s.framebuffer, nullptr);
        EXPECT_EQ(s.framebuffer, base::screen_framebuffer());
        EXPECT_EQ(std::vector<uint32_t>(
                      {s.bytes_per_pixel, s.width, s.height, s.zbuffer_size, s.triangle_count, s.pixel_count}),
                  std::vector<uint32_t>({4, 800, 600, 1920000, 0, 0}));
        EXPECT_EQ(std::tuple(s.textured, s.wireframe, s.cull_backfaces, s.fov),
                  std::tuple(0, 0, 0, 90.0f));  // fov as given until set_fov
        EXPECT_EQ(std::count(s.zbuffer, s.zbuffer + 800 * 600, 0.0f), 800 * 600);
    }
    // Sizes that cannot be served give an empty target that clears harmlessly.
    for (const auto& [w, h] : {std::pair<uint32_t, uint32_t>{0, 10}, {10, 0}, {base::screen_max_side + 1, 2}}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        screen_t offscreen(w, h, 90.0f, screen_t::offscreen_tag{}), on_runtime(w, h, 90.0f);
        for (screen_t* s : {&offscreen, &on_runtime}) {
            SCOPED_TRACE(s == &offscreen ? "offscreen" : "on the runtime's screen");
            EXPECT_EQ(std::tuple(s->framebuffer, s->zbuffer, s->width, s->height, s->zbuffer_size),
                      std::tuple(nullptr, nullptr, 0u, 0u, 0u));
            s->clear(255, 0, 0, 16);
            s->clear_zbuffer();
        }
    }
    base::screen_close(0);
}

TEST(Screen, SetFovStoresTheRadiansNearestTheExactValue) {
    screen_t s(4, 4, 0.0f, screen_t::offscreen_tag{});
    for (auto [degrees, radians] : {std::pair(90.0f, static_cast<float>(std::numbers::pi / 2)),
                                    {180.0f, 3.14159274f},
                                    {45.0f, 0.785398185f},
                                    {0.0f, 0.0f}}) {
        s.set_fov(degrees);
        EXPECT_EQ(s.fov, radians) << degrees << " degrees";
    }
}

TEST(Screen, ClearMakesEveryPixelOpaqueDarkBlueAndZeroesTheCounters) {
    screen_t s(800, 600, 90.0f, screen_t::offscreen_tag{});
    std::memset(s.framebuffer, 0x5A, 800 * 600 * 4);
    s.triangle_count = 12;
    s.pixel_count = 123456;
    s.clear(255, 0, 0, 16);
    EXPECT_EQ(std::pair(s.triangle_count, s.pixel_count), std::pair(0u, 0u));
    EXPECT_EQ(pixels_equal(s, {16, 0, 0, 255}), 800u * 600u);
    s.clear(0x1FF, 0x100, 0x2AB, 0x310);  // only the low 8 bits of each argument count
    EXPECT_EQ(pixels_equal(s, {0x10, 0xAB, 0x00, 0xFF}), 800u * 600u);
    s.clear(0, 255, 255, 255);  // a transparent clear blends, as the screen's primitives do
    EXPECT_EQ(pixels_equal(s, {0x10, 0xAB, 0x00, 0xFF}), 800u * 600u);

    screen_t shown(7, 5, 90.0f);  // through the runtime's screen
    shown.pixel_count = 9;
    shown.clear(255, 0, 0, 16);
    EXPECT_EQ(shown.pixel_count, 0u);
    EXPECT_EQ(pixels_equal(shown, {16, 0, 0, 255}), 35u);
    base::screen_close(0);
}

TEST(Screen, ClearZbufferSetsEveryElementToExactly1e37) {
    screen_t s(800, 600, 90.0f, screen_t::offscreen_tag{});
    s.zbuffer[0] = -1.0f;
    s.zbuffer[800 * 600 - 1] = 5.0f;
    s.clear_zbuffer();
    EXPECT_EQ(std::count_if(s.zbuffer, s.zbuffer + 800 * 600,
                            [](float z) { return std::bit_cast<uint32_t>(z) == std::bit_cast<uint32_t>(1.0e37f); }),
              800 * 600);
}
