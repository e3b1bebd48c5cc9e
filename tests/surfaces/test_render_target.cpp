// The screen's parts on their own: a render target's buffers and row clears, the draw state's field of view.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "base/graphics_screen.h"
#include "surfaces/draw_state.h"
#include "surfaces/frame_counters.h"
#include "surfaces/render_target.h"

TEST(RenderTarget, BuffersOfItsOwnOrSomeoneElsesPixels) {
    const render_target_t own(3, 2);
    EXPECT_TRUE(own.owns_framebuffer());
    EXPECT_EQ(std::tuple(own.bytes_per_pixel, own.width, own.height, own.zbuffer_size), std::tuple(4u, 3u, 2u, 24u));
    EXPECT_TRUE(std::all_of(own.framebuffer, own.framebuffer + 24, [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(own.zbuffer, own.zbuffer + 6, [](float z) { return z == 0.0f; }));

    std::vector<uint8_t> pixels(5 * 4 * 4, 7);
    render_target_t borrowed(pixels.data(), 5, 4);
    EXPECT_FALSE(borrowed.owns_framebuffer());
    EXPECT_EQ(borrowed.framebuffer, pixels.data());
    borrowed.draw_pixel(4, 3, 255, 200, 100, 50, 1.0f);
    EXPECT_EQ(std::vector<int>(pixels.end() - 4, pixels.end()), (std::vector<int>{49, 99, 199, 254}));

    // Sizes a screen could not have, and no pixels, give an empty target.
    for (const auto& [w, h] : {std::pair<uint32_t, uint32_t>{0, 4}, {4, 0}, {base::screen_max_side + 1, 1}}) {
        const render_target_t empty(w, h);
        EXPECT_EQ(std::tuple(empty.framebuffer, empty.zbuffer, empty.width, empty.height),
                  std::tuple(nullptr, nullptr, 0u, 0u));
    }
    const render_target_t no_pixels(nullptr, 4, 4);
    EXPECT_EQ(no_pixels.zbuffer, nullptr);
}

TEST(RenderTarget, RowClearsTouchOnlyTheirRows) {
    render_target_t t(2, 4);
    t.clear_depth_rows(1, 3);
    EXPECT_EQ(std::vector<float>(t.zbuffer, t.zbuffer + 8),
              (std::vector<float>{0, 0, 1.0e37f, 1.0e37f, 1.0e37f, 1.0e37f, 0, 0}));
    t.paint_rows(0, 1, 0xFF102030u);
    t.paint_rows(3, 4, 0x00FFFFFFu);  // transparent: blended over the old bytes, which stay
    EXPECT_EQ(std::vector<int>(t.framebuffer, t.framebuffer + 8),
              (std::vector<int>{0x30, 0x20, 0x10, 0xFF, 0x30, 0x20, 0x10, 0xFF}));
    EXPECT_TRUE(std::all_of(t.framebuffer + 8, t.framebuffer + 32, [](uint8_t b) { return b == 0; }));
}

TEST(DrawState, FieldOfViewInDegreesOnlyThroughTheNamedConversion) {
    // A fresh draw state holds 90 degrees as radians; set_fov takes degrees.
    draw_state_t state;
    EXPECT_EQ(state.fov, 1.57079637f);
    state.set_fov(45.0f);
    EXPECT_EQ(state.fov, 0.785398185f);
    static_assert(fov_radians_from_degrees(180.0f) == 3.14159274f);
    EXPECT_EQ(std::tuple(state.textured, state.wireframe, state.cull_backfaces, state.clip_triangles),
              std::tuple(0, 0, 0, 0));

    frame_counters_t counters{12, 345};
    counters.reset_counters();
    EXPECT_EQ(std::pair(counters.triangle_count, counters.pixel_count), std::pair(0u, 0u));
}
