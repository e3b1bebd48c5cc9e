// Span filling: coverage, the pixel test, byte conversion, the two blends and texture addressing.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "raster/nearest.h"
#include "raster/rasteriser.h"
#include "raster_fixtures.h"
#include "target/pixel_blend.h"
#include "target/texture.h"

namespace {

int row_count(const screen_t& s, uint32_t y) {
    int n = 0;
    for (uint32_t x = 0; x < s.width; ++x) n += covered(s, x, y);
    return n;
}

// Draws one span of row y between edges whose x are left_x and right_x.
void span_between(screen_t& s, float left_x, float right_x, int32_t y, const texture_t& tex) {
    const vertex_t a = corner(0, 0), b = corner(8, 4), c = corner(0, 8);
    const gradients_t g(a, b, c);
    edge_t left(g, a, c, 0), right(g, a, c, 0);
    left.x = left_x;
    right.x = right_x;
    draw_span(s, g, left, right, y, tex);
}

}  // namespace

TEST(Coverage, TwelvePixelTriangle) {
    auto s = blank_screen(16, 8);
    texture_t tex(1, 1, 32);
    rasterise_triangle(*s, corner(0, 0), corner(4, 2), corner(0, 4), 0, tex);
    EXPECT_EQ(s->pixel_count, 12u);
    EXPECT_EQ(s->triangle_count, 1u);
    const int expected[] = {1, 3, 5, 3, 0};
    for (uint32_t y = 0; y < 5; ++y) {
        EXPECT_EQ(row_count(*s, y), expected[y]) << "row " << y;
        for (int x = 0; x < expected[y]; ++x) EXPECT_TRUE(covered(*s, x, y)) << x << "," << y;
    }
}

TEST(Coverage, SpanEndsRoundHalfToEven) {
    texture_t tex(1, 1, 32);
    struct Case { float left, right; int first, last; };
    const Case cases[] = {{2.3f, 5.6f, 3, 5}, {2.0f, 3.0f, 2, 2}, {3.0f, 4.0f, 4, 4}, {2.0f, 2.0f, 2, 2}, {3.0f, 3.0f, 1, 0}};
    for (const Case& c : cases) {
        auto s = blank_screen(12, 2);
        span_between(*s, c.left, c.right, 1, tex);
        for (int x = 0; x < 12; ++x) {
            EXPECT_EQ(covered(*s, x, 1), x >= c.first && x <= c.last) << c.left << ".." << c.right << " x=" << x;
        }
    }
}

TEST(Coverage, RowsComeFromTheShortEdge) {
    texture_t tex(1, 1, 32);
    struct Case { float y0, y1; int first, last; };
    const Case cases[] = {{0.3f, 3.7f, 0, 3}, {2.5f, 3.5f, 2, 3}, {3.5f, 4.5f, 1, 0}};
    for (const Case& c : cases) {
        auto s = blank_screen(40, 8);
        // A flat-bottomed triangle: only the upper half has rows.
        rasterise_triangle(*s, corner(0, c.y0), corner(30, c.y1), corner(0, c.y1), 0, tex);
        for (int y = 0; y < 8; ++y) {
            EXPECT_EQ(row_count(*s, y) > 0, y >= c.first && y <= c.last) << c.y0 << ".." << c.y1 << " row " << y;
        }
        EXPECT_EQ(s->triangle_count, 1u);
    }
    // Flat top: only the lower half; and a triangle that covers nothing still counts.
    auto s = blank_screen(40, 8);
    rasterise_triangle(*s, corner(0, 1), corner(20, 1), corner(0, 5), 0, tex);
    EXPECT_EQ(row_count(*s, 0), 0);
    EXPECT_GT(row_count(*s, 1), 0);
    EXPECT_EQ(row_count(*s, 5), 0);
    rasterise_triangle(*s, corner(3, 3.6f), corner(3.2f, 3.6f), corner(3.1f, 3.6f), 0, tex);
    EXPECT_EQ(s->triangle_count, 2u);
}

TEST(PixelTest, EqualDepthLosesAndOpaqueAlphaIsSkipped) {
    texture_t tex(1, 1, 32);
    auto s = blank_screen(12, 2);
    span_between(*s, 2.0f, 2.0f, 0, tex);  // pixel 2 at depth 0.5
    ASSERT_EQ(s->pixel_count, 1u);
    const uint8_t before = pixel(*s, 2, 0)[2];
    span_between(*s, 2.0f, 2.0f, 0, tex);  // the same depth again: rejected
    EXPECT_EQ(s->pixel_count, 1u);
    EXPECT_EQ(pixel(*s, 2, 0)[2], before);

    // Alpha exactly 1.0: neither drawn, nor depth-written, nor counted.
    auto t = blank_screen(16, 8);
    const vec4_t opaque(1, 1, 1, 1);
    rasterise_triangle(*t, corner(0, 0, 0.5f, opaque), corner(6, 3, 0.5f, opaque), corner(0, 6, 0.5f, opaque), 0, tex);
    EXPECT_EQ(t->pixel_count, 0u);
    for (uint32_t y = 0; y < 8; ++y) EXPECT_EQ(row_count(*t, y), 0);
    EXPECT_EQ(pixel(*t, 1, 2)[2], 0);

    // A fresh depth buffer lets anything below 1e37 through.
    auto u = blank_screen(4, 1);
    const vertex_t a = corner(0, 0, 9.0e36f), b = corner(2, 1, 9.0e36f), c = corner(0, 2, 9.0e36f);
    const gradients_t g(a, b, c);
    edge_t l(g, a, c, 0), r(g, a, c, 0);
    draw_span(*u, g, l, r, 0, tex);
    EXPECT_EQ(u->pixel_count, 1u);
}

TEST(PixelWrite, ByteConversion) {
    EXPECT_EQ(channel_to_byte(1.0f), 255);
    EXPECT_EQ(channel_to_byte(0.5f), 128);  // 127.5 rounds to even
    EXPECT_EQ(channel_to_byte(0.2f), 51);
    EXPECT_EQ(channel_to_byte(2.0f), 254);  // 510 wraps to its low byte
    EXPECT_EQ(channel_to_byte(-1.0f / 255.0f), 255);
    EXPECT_EQ(channel_to_byte(NAN), 0);
    EXPECT_EQ(channel_to_byte(INFINITY), 0);
    EXPECT_EQ(channel_to_byte(1.0e30f), 0);
    EXPECT_EQ(nearest_float(2.5f), 2.0f);
    EXPECT_EQ(nearest_float(3.5f), 4.0f);
    EXPECT_EQ(nearest_float(-0.5f), 0.0f);
}

TEST(PixelWrite, VertexColourBlend) {
    auto s = blank_screen(4, 4);
    uint8_t* f = s->framebuffer;
    s->draw_pixel(0, 0, 255, 255, 0, 0, 1.0f);
    EXPECT_EQ(f[2], 254);  // >> 8 divides by 256
    f[2] = 100;
    f[3] = 255;
    s->draw_pixel(0, 0, 128, 200, 0, 0, 1.0f);
    EXPECT_EQ(f[2], 149);
    EXPECT_EQ(f[3], 190);
    f[2] = 100;
    s->draw_pixel(0, 0, 0, 255, 0, 0, 0.5f);
    EXPECT_EQ(f[2], 50);  // nearest(99 * 0.5) = 50 (49.5 to even)
    // Outside the target (negative coordinates arrive as huge unsigned numbers): no write.
    std::vector<uint8_t> before(f, f + 64);
    s->draw_pixel(4, 0, 255, 1, 2, 3, 1.0f);
    s->draw_pixel(static_cast<uint32_t>(-1), 1, 255, 1, 2, 3, 1.0f);
    EXPECT_EQ(std::vector<uint8_t>(f, f + 64), before);
}

TEST(PixelWrite, TexelBlend) {
    auto s = blank_screen(2, 1);
    texture_t tex(2, 1, 32);
    uint8_t* t = tex.pixels;
    t[0] = 10; t[1] = 20; t[2] = 30; t[3] = 0;      // opaque texel
    t[4] = 10; t[5] = 20; t[6] = 30; t[7] = 255;    // fully transparent texel
    uint8_t* f = s->framebuffer;
    f[0] = 40; f[1] = 80; f[2] = 120; f[3] = 7;
    s->draw_texel(0, 0, 0, 0, tex, vec4_t(1, 1, 1, 0.5f), 1.0f);
    EXPECT_EQ(f[3], 255);
    EXPECT_EQ(f[0], 10);
    EXPECT_EQ(f[1], 20);
    EXPECT_EQ(f[2], 30);
    f[0] = 0; f[1] = 102; f[2] = 255;
    s->draw_texel(0, 0, 1, 0, tex, vec4_t(1, 0, 0, 0.5f), 0.5f);
    EXPECT_EQ(f[3], 0);
    EXPECT_EQ(f[2], 128);  // (1 - 1) * 0.5 + 1 = 1, times 0.5 is 127.5: to even
    EXPECT_EQ(f[1], 26);   // (0 - 0.4) * 0.5 + 0.4 = 0.2, 0.1 * 255 = 25.5: to even
    EXPECT_EQ(f[0], 0);
}

TEST(SpanStart, PrestepAndPerspectiveTexcoords) {
    auto s = blank_screen(40, 2);
    texture_t tex(32, 32, 32);
    for (uint32_t i = 0; i < 32 * 32; ++i) {
        tex.pixels[i * 4 + 0] = static_cast<uint8_t>(i % 32);  // column in blue
        tex.pixels[i * 4 + 1] = static_cast<uint8_t>(i / 32);  // row in green
    }
    const vertex_t a = corner(0, 0), b = corner(8, 4), c = corner(0, 8);
    gradients_t g(a, b, c);
    g.d_z_dx = 0.01f;
    g.d_one_over_w_dx = 0.0f;
    g.d_u_over_w_dx = 0.0f;
    g.d_v_over_w_dx = 0.0f;
    g.d_shade_dx = 0.0f;
    g.d_colour_dx = vec4_t(0, 0, 0, 0);
    edge_t left(g, a, c, 0);
    left.x = 10.0f;
    left.z = 0.2f;
    left.one_over_w = 0.5f;
    left.u_over_w = 0.25f;
    left.v_over_w = 0.0f;
    left.shade = 1.0f;
    left.colour = vec4_t(0, 0, 0, 0);
    edge_t right = left;
    s->textured = 1;
    draw_span(*s, g, left, right, 1, tex);
    ASSERT_TRUE(covered(*s, 10, 1));
    EXPECT_EQ(depth(*s, 10, 1), 0.205f);
    EXPECT_EQ(pixel(*s, 10, 1)[0], 16);  // u = 0.5: 16.5 rounds to column 16
    EXPECT_EQ(pixel(*s, 10, 1)[1], 0);
}

TEST(SpanStart, TextureAddressingWraps) {
    const auto column = [](float u) { return wrapped_texel_coordinate(u * 32.0f + 0.5f) % 32u; };
    EXPECT_EQ(column(0.5f), 16u);
    EXPECT_EQ(column(1.0f), 0u);
    EXPECT_EQ(column(-0.1f), 29u);
    EXPECT_EQ(column(0.02f), 1u);
    EXPECT_EQ(column(NAN), 0u);
    EXPECT_EQ(column(INFINITY), 0u);
    EXPECT_EQ(column(-1.0e30f), 0u);
}

TEST(Wireframe, TwoUncountedEndsPerRow) {
    auto s = blank_screen(32, 16);
    texture_t tex(1, 1, 32);
    s->wireframe = 1;
    rasterise_triangle(*s, corner(2, 1), corner(25, 7), corner(4, 14), 0, tex);
    EXPECT_EQ(s->pixel_count, 0u);
    EXPECT_EQ(s->triangle_count, 1u);
    int rows_with_pixels = 0;
    for (uint32_t y = 0; y < 16; ++y) {
        int lit = 0;
        for (uint32_t x = 0; x < 32; ++x) {
            lit += pixel(*s, x, y)[2] != 0;
            EXPECT_EQ(depth(*s, x, y), 1.0e37f);  // no depth writes
        }
        EXPECT_LE(lit, 2) << "row " << y;
        rows_with_pixels += lit > 0;
    }
    EXPECT_EQ(rows_with_pixels, 13);
}
