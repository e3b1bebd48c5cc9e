// The triangle pipeline: viewport landing points, culling, sorting, and bounded work on absurd corners.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "raster/pipeline.h"
#include "raster/rasteriser.h"
#include "raster_fixtures.h"
#include "reference_rasteriser.h"
#include "target/texture.h"

namespace {

vertex_t clip(float x, float y, float z = 0.5f, float w = 1.0f, float red = 1.0f) {
    return vertex_t(vec4_t(x, y, z, w), vec4_t(red, 0.5f, 0.25f, 0.5f), vec4_t(0, 0, 1, 0));
}

}  // namespace

TEST(Pipeline, ViewportLandingPoints) {
    screen_t s(800, 600, 90.0f, screen_t::offscreen_tag{});
    const screen_triangle_t t = to_screen_triangle(s, clip(0, 0), clip(-1, 1), clip(1, -1));
    EXPECT_EQ(t.top.x(), -0.5f);
    EXPECT_EQ(t.top.y(), -0.5f);
    EXPECT_EQ(t.middle.x(), 399.5f);
    EXPECT_EQ(t.middle.y(), 299.5f);
    EXPECT_EQ(t.bottom.x(), 799.5f);
    EXPECT_EQ(t.bottom.y(), 599.5f);
    EXPECT_EQ(t.bottom.w(), 1.0f);
    // w survives the divide; the normal arrives normalised.
    const screen_triangle_t u = to_screen_triangle(s, clip(0, 0, 1, 2), clip(1, 0, 1, 2), clip(0, 1, 1, 2));
    EXPECT_EQ(u.top.w(), 2.0f);
    EXPECT_EQ(u.top.z(), 0.5f);
}

TEST(Pipeline, SortKeepsEqualRowsInOrder) {
    screen_t s(800, 600, 90.0f, screen_t::offscreen_tag{});
    // Screen y 10, 10, 0 (clip y = (299.5 - y) / 300): out come third, first, second.
    const float y10 = (299.5f - 10.0f) / 300.0f, y0 = 299.5f / 300.0f;
    const screen_triangle_t t = to_screen_triangle(s, clip(0, y10, 0.5f, 1, 0.1f), clip(0.5f, y10, 0.5f, 1, 0.2f),
                                                   clip(0.2f, y0, 0.5f, 1, 0.3f));
    EXPECT_EQ(t.top.colour.x, 0.3f);
    EXPECT_EQ(t.middle.colour.x, 0.1f);
    EXPECT_EQ(t.bottom.colour.x, 0.2f);
    // Given bottom, top, middle they come out top, middle, bottom.
    const screen_triangle_t u = to_screen_triangle(s, clip(0, -0.5f, 0.5f, 1, 0.3f), clip(0, 0.5f, 0.5f, 1, 0.1f),
                                                   clip(0.5f, 0, 0.5f, 1, 0.2f));
    EXPECT_EQ(u.top.colour.x, 0.1f);
    EXPECT_EQ(u.middle.colour.x, 0.2f);
    EXPECT_EQ(u.bottom.colour.x, 0.3f);
    EXPECT_EQ(u.middle_is_left, 0);  // middle right of the long edge
    const screen_triangle_t v = to_screen_triangle(s, clip(0, -0.5f), clip(0, 0.5f), clip(-0.5f, 0));
    EXPECT_EQ(v.middle_is_left, -1);
}

TEST(Pipeline, CullingDropsBackFacesUncounted) {
    screen_t s(80, 60, 90.0f, screen_t::offscreen_tag{});
    texture_t tex(1, 1, 32);
    s.clear_zbuffer();
    // Clockwise on the screen (y grows down): top-left, top-right, bottom.
    const vertex_t a = clip(-0.5f, 0.5f), b = clip(0.5f, 0.5f), c = clip(0, -0.5f);
    draw_triangle(s, a, b, c, tex);
    draw_triangle(s, a, c, b, tex);  // its mirror image
    EXPECT_EQ(s.triangle_count, 2u);  // culling off: both drawn
    s.cull_backfaces = 1;
    s.triangle_count = 0;
    draw_triangle(s, a, b, c, tex);
    EXPECT_EQ(s.triangle_count, 1u);
    draw_triangle(s, a, c, b, tex);
    draw_triangle(s, clip(0, 0), clip(0.2f, 0.2f), clip(0.4f, 0.4f), tex);  // degenerate
    EXPECT_EQ(s.triangle_count, 1u);
}

TEST(Pipeline, AbsurdCornersStayInsideAndFinish) {
    // Every write is bounds-checked (the sanitizer build watches the buffers) and the walk is
    // bounded, so each of these returns promptly whatever the corners hold.
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {nan, inf, -inf, 1.0e30f, -1.0e30f, 3.0e9f, -3.0e9f, 0.0f, 1.0f, -1.0f};
    screen_t s(64, 48, 90.0f, screen_t::offscreen_tag{});
    texture_t tex(4, 4, 32);
    s.clear_zbuffer();
    int drawn = 0;
    for (int mode = 0; mode < 8; ++mode) {
        s.textured = mode & 1;
        s.wireframe = (mode >> 1) & 1;
        s.cull_backfaces = (mode >> 2) & 1;
        for (float big : values) {
            draw_triangle(s, clip(big, 0.1f), clip(0.5f, big), clip(-0.5f, -0.5f), tex);
            draw_triangle(s, clip(0.2f, 0.3f, 0.5f, 0.0f), clip(0.5f, -0.5f), clip(-0.5f, big), tex);  // w = 0
            draw_triangle(s, clip(0.2f, 0.3f, 0.5f, -0.01f), clip(0.5f, -0.5f, 0.5f, big), clip(-0.5f, 0.5f), tex);
            draw_triangle(s, clip(big, big, big, big), clip(-big, big, 0, 1), clip(big, -big, 1, -big), tex);
            drawn += 4;
        }
        rasterise_triangle(s, corner(-1.0e30f, -1.0e30f), corner(1.0e30f, 0), corner(0, 1.0e30f), 0, tex);
        rasterise_triangle(s, corner(-inf, -inf), corner(inf, 0), corner(0, inf), -1, tex);
        rasterise_triangle(s, corner(nan, 0), corner(5, nan), corner(0, 9), 0, tex);
    }
    EXPECT_LE(s.pixel_count, static_cast<uint32_t>(drawn + 24) * 64u * 48u);
    // A triangle spanning 1e30 pixels still fills exactly the visible area once.
    screen_t t(64, 48, 90.0f, screen_t::offscreen_tag{});
    t.clear_zbuffer();
    rasterise_triangle(t, corner(-1.0e30f, -1.0e30f), corner(1.0e30f, 20), corner(-1.0e30f, 1.0e30f), 0, tex);
    EXPECT_EQ(t.pixel_count, 64u * 48u);
}

TEST(Pipeline, MatchesReferenceFillerIncludingOffscreenParts) {
    // Random triangles, partly off every side of the target, in every mode: the fast filler
    // must give the slow reference's bytes, depths and counters exactly.
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> pos(-1.8f, 1.8f), unit(0.0f, 1.0f), depth(-1.0f, 1.0f);
    std::uniform_int_distribution<int> pick(0, 7);
    texture_t tex(8, 4, 32);
    for (uint32_t i = 0; i < 8 * 4 * 4; ++i) tex.pixels[i] = static_cast<uint8_t>(i * 37);
    screen_t fast(96, 64, 90.0f, screen_t::offscreen_tag{});
    screen_t slow(96, 64, 90.0f, screen_t::offscreen_tag{});
    for (int round = 0; round < 40; ++round) {
        const int mode = pick(rng);
        for (screen_t* s : {&fast, &slow}) {
            std::fill(s->framebuffer, s->framebuffer + 96 * 64 * 4, static_cast<uint8_t>(round));
            s->clear_zbuffer();
            s->textured = mode & 1;
            s->wireframe = (mode >> 1) & 1;
            s->pixel_count = s->triangle_count = 0;
        }
        for (int n = 0; n < 50; ++n) {
            vertex_t v[3];
            for (vertex_t& c : v) {
                const float alpha = pick(rng) == 0 ? 1.0f : unit(rng);
                const float w = 0.5f + unit(rng);
                c = vertex_t(vec4_t(pos(rng) * w, pos(rng) * w, std::round(depth(rng) * 8.0f) / 8.0f * w, w),
                             vec4_t(unit(rng), unit(rng), unit(rng), alpha),
                             vec4_t(unit(rng) - 0.5f, 0, unit(rng), 0), vec4_t(unit(rng) * 3 - 1, unit(rng) * 3 - 1, 0, 0));
            }
            const screen_triangle_t t = to_screen_triangle(fast, v[0], v[1], v[2]);
            rasterise_triangle(fast, t.top, t.middle, t.bottom, t.middle_is_left, tex);
            reference::triangle(slow, t.top, t.middle, t.bottom, t.middle_is_left, tex);
        }
        ASSERT_EQ(fast.pixel_count, slow.pixel_count) << "round " << round;
        ASSERT_EQ(fast.triangle_count, slow.triangle_count);
        ASSERT_EQ(0, std::memcmp(fast.framebuffer, slow.framebuffer, 96 * 64 * 4)) << "round " << round;
        ASSERT_EQ(0, std::memcmp(fast.zbuffer, slow.zbuffer, 96 * 64 * sizeof(float))) << "round " << round;
    }
}
