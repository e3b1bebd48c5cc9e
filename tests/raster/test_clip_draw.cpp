// Tests of clip_and_draw and draw_if_inside against the real pipeline on an offscreen target.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "collections/vertex_lists.h"
#include "raster/clip.h"
#include "raster/pipeline.h"
#include "target/screen.h"
#include "target/texture.h"

namespace {

constexpr std::uint32_t width = 64;
constexpr std::uint32_t height = 48;

// A cleared 64 x 48 target and a small texture to pass along. Colours keep alpha below 1:
// the span filler skips pixels whose alpha reaches 1.0.
struct target_t {
    screen_t screen{width, height, 1.5707964f, screen_t::offscreen_tag{}};
    texture_t texture{4, 4, 32};

    target_t() {
        screen.clear(255, 0, 0, 64);
        screen.clear_zbuffer();
    }

    std::vector<std::uint8_t> pixels() const {
        return std::vector<std::uint8_t>(screen.framebuffer, screen.framebuffer + std::size_t{width} * height * 4);
    }
    std::vector<float> depths() const { return std::vector<float>(screen.zbuffer, screen.zbuffer + std::size_t{width} * height); }
    // Pixels no longer holding the clear colour.
    int drawn_pixels() const {
        int n = 0;
        for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
            const std::uint8_t* p = screen.framebuffer + i * 4;
            if (p[0] != 64 || p[1] != 0 || p[2] != 0 || p[3] != 255) ++n;
        }
        return n;
    }
};

vertex_t corner(float x, float y, float z, float w, vec4_t colour = vec4_t(1, 0.5f, 0.25f, 0.5f)) {
    return vertex_t(vec4_t(x, y, z, w), colour);
}

void expect_same_picture(const target_t& got, const target_t& want) {
    EXPECT_EQ(got.pixels(), want.pixels());
    EXPECT_EQ(got.depths(), want.depths());
    EXPECT_EQ(got.screen.triangle_count, want.screen.triangle_count);
    EXPECT_EQ(got.screen.pixel_count, want.screen.pixel_count);
}

}  // namespace

TEST(ClipAndDraw, TriangleInsideIsDrawnExactlyAsThePipelineDrawsIt) {
    const vertex_t c1 = corner(-0.5f, -0.5f, 0.2f, 1, vec4_t(1, 0, 0, 0.5f));
    const vertex_t c2 = corner(0.75f, -0.25f, 0.5f, 2, vec4_t(0, 1, 0, 0.25f));
    const vertex_t c3 = corner(0.1f, 0.6f, -0.5f, 1, vec4_t(0, 0, 1, 0.75f));
    target_t direct, clipped, filtered;
    draw_triangle(direct.screen, c1, c2, c3, direct.texture);
    clip_and_draw(clipped.screen, c1, c2, c3, clipped.texture);
    draw_if_inside(filtered.screen, c1, c2, c3, filtered.texture);
    ASSERT_GT(direct.screen.pixel_count, 0u);
    EXPECT_EQ(direct.screen.triangle_count, 1u);
    expect_same_picture(clipped, direct);
    expect_same_picture(filtered, direct);
}

TEST(ClipAndDraw, PartlyVisibleTriangleIsDrawnWholeAsAFan) {
    // Covers the whole view: clipped to the square of the screen, drawn without holes.
    const vertex_t c1 = corner(-4, -4, 0, 1);
    const vertex_t c2 = corner(-4, 8, 0, 1);
    const vertex_t c3 = corner(8, -4, 0, 1);
    target_t clipped;
    clip_and_draw(clipped.screen, c1, c2, c3, clipped.texture);
    EXPECT_EQ(clipped.drawn_pixels(), int(width * height));
    EXPECT_GE(clipped.screen.pixel_count, width * height);

    // What it draws is the clipped polygon's fan, triangle by triangle through the pipeline.
    ktList<vertex_t> polygon;
    ASSERT_TRUE(clip_triangle(c1, c2, c3, polygon));
    ASSERT_GE(polygon.size(), 4);
    target_t by_hand;
    for_each_fan_triangle(polygon, [&](const vertex_t& a, const vertex_t& b, const vertex_t& c) {
        draw_triangle(by_hand.screen, a, b, c, by_hand.texture);
    });
    expect_same_picture(clipped, by_hand);
    EXPECT_EQ(clipped.screen.triangle_count, std::uint32_t(polygon.size() - 2));

    // Only the first triangle of the polygon would have left part of the view empty.
    target_t first_only;
    draw_triangle(first_only.screen, polygon.get(0), polygon.get(1), polygon.get(2), first_only.texture);
    EXPECT_LT(first_only.drawn_pixels(), int(width * height));
}

TEST(ClipAndDraw, TriangleCrossingTheNearPlaneStaysInsideTheFrame) {
    // One corner behind the camera (w < 0, z < -w): drawn straight, it would be mirrored.
    const vertex_t c1 = corner(-0.5f, -0.5f, 0.5f, 1);
    const vertex_t c2 = corner(0.5f, -0.5f, 0.5f, 1);
    const vertex_t c3 = corner(0, 2, -3, -1);
    target_t frame;
    clip_and_draw(frame.screen, c1, c2, c3, frame.texture);
    ASSERT_GT(frame.screen.triangle_count, 0u);
    EXPECT_LE(frame.screen.pixel_count, frame.screen.triangle_count * width * height);

    // Every written pixel lies within the screen box of the clipped polygon.
    ktList<vertex_t> polygon;
    ASSERT_TRUE(clip_triangle(c1, c2, c3, polygon));
    float left = 1e30f, right = -1e30f, top = 1e30f, bottom = -1e30f;
    for (ktIterator<vertex_t> it = polygon.iterator(); it.hasNext();) {
        const vertex_t v = it.next();
        ASSERT_GT(v.position.w, 0.0f);
        const float sx = (v.position.x / v.position.w + 1) * width / 2 - 0.5f;
        const float sy = (1 - v.position.y / v.position.w) * height / 2 - 0.5f;
        left = std::min(left, sx), right = std::max(right, sx), top = std::min(top, sy), bottom = std::max(bottom, sy);
    }
    int outside_box = 0;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = frame.screen.framebuffer + (std::size_t{y} * width + x) * 4;
            const bool drawn = p[0] != 64 || p[1] != 0 || p[2] != 0;
            if (drawn && (x + 1.0f < left || x - 1.0f > right || y + 1.0f < top || y - 1.0f > bottom)) ++outside_box;
        }
    }
    EXPECT_EQ(outside_box, 0);
    EXPECT_GT(frame.drawn_pixels(), 0);

    // Enormous and nearly degenerate coordinates cost no more than the screen they are cut to.
    target_t huge;
    clip_and_draw(huge.screen, corner(-1e30f, -1e30f, 0, 1e-30f), corner(1e30f, 0, 0, 1e-30f), corner(0, 1e30f, 0.5f, 1),
                  huge.texture);
    EXPECT_LE(huge.screen.triangle_count, 7u);
    EXPECT_LE(huge.screen.pixel_count, huge.screen.triangle_count * width * height);
}

TEST(ClipAndDraw, TriangleBehindTheCameraIsDroppedButPassesTheInsideFilter) {
    // Small x, y, z and negative w: inside by |w|, outside every plane's "<= w".
    const vertex_t c1 = corner(0.5f, 0, 0, -1);
    const vertex_t c2 = corner(0, 0.5f, 0.1f, -1);
    const vertex_t c3 = corner(-0.5f, -0.5f, 0.2f, -2);
    ktList<vertex_t> polygon;
    EXPECT_FALSE(clip_triangle(c1, c2, c3, polygon));

    const target_t untouched;
    target_t clipped;
    clip_and_draw(clipped.screen, c1, c2, c3, clipped.texture);
    expect_same_picture(clipped, untouched);

    target_t direct, filtered;
    draw_triangle(direct.screen, c1, c2, c3, direct.texture);
    draw_if_inside(filtered.screen, c1, c2, c3, filtered.texture);
    EXPECT_EQ(filtered.screen.triangle_count, 1u);
    expect_same_picture(filtered, direct);
}

TEST(ClipAndDraw, InsideFilterDropsATriangleWithAnyCornerOutside) {
    const vertex_t in1 = corner(-1, -1, -1, 1);  // on the boundary: inside
    const vertex_t in2 = corner(1, -1, 1, 1);
    const vertex_t in3 = corner(0, 1, 0, 1);
    target_t drawn;
    draw_if_inside(drawn.screen, in1, in2, in3, drawn.texture);
    EXPECT_EQ(drawn.screen.triangle_count, 1u);

    const target_t untouched;
    for (const vertex_t& out : {corner(1.0001f, 0, 0, 1), corner(0, -2, 0, 1), corner(0, 0, 1.5f, -1)}) {
        target_t dropped;
        draw_if_inside(dropped.screen, in1, out, in3, dropped.texture);
        draw_if_inside(dropped.screen, out, in2, in3, dropped.texture);
        draw_if_inside(dropped.screen, in1, in2, out, dropped.texture);
        expect_same_picture(dropped, untouched);
    }
}

TEST(ClipAndDraw, ClippingKeepsTheWindingThatCullingTests) {
    // Clockwise on the screen (y grows down), partly outside: every fan triangle is kept.
    const vertex_t c1 = corner(-2, -2, 0, 1);
    const vertex_t c2 = corner(0, 2, 0, 1);
    const vertex_t c3 = corner(2, -2, 0, 1);
    ktList<vertex_t> polygon;
    ASSERT_TRUE(clip_triangle(c1, c2, c3, polygon));

    target_t front;
    front.screen.cull_backfaces = 1;
    clip_and_draw(front.screen, c1, c2, c3, front.texture);
    EXPECT_EQ(front.screen.triangle_count, std::uint32_t(polygon.size() - 2));

    // Its mirror image is a back face in every piece.
    target_t back;
    back.screen.cull_backfaces = 1;
    clip_and_draw(back.screen, c1, c3, c2, back.texture);
    EXPECT_EQ(back.screen.triangle_count, 0u);
    EXPECT_EQ(back.drawn_pixels(), 0);
}

TEST(ClipAndDraw, NonFiniteCornersNeverWriteOutsideTheFrame) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const vertex_t fine1 = corner(-0.5f, -0.5f, 0, 1);
    const vertex_t fine2 = corner(0.5f, -0.5f, 0, 1);
    for (const vertex_t& odd : {corner(nan, 0, 0, 1), corner(0, 0, 0, nan), corner(inf, 0, 0, 1), corner(0, 0, 0, inf),
                                corner(-inf, inf, 0, inf), corner(0, 0, 0, 0)}) {
        SCOPED_TRACE(to_string(odd));
        target_t frame;
        clip_and_draw(frame.screen, fine1, fine2, odd, frame.texture);
        draw_if_inside(frame.screen, fine1, fine2, odd, frame.texture);
        EXPECT_LE(frame.screen.pixel_count, frame.screen.triangle_count * width * height);
    }
}
