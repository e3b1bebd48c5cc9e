// Span filling: coverage, the pixel test, byte conversion, the two blends, texture addressing and wireframe.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "math/nearest.h"
#include "raster/rasteriser.h"
#include "raster/span_fill_paths.h"
#include "raster_fixtures.h"
#include "surfaces/pixel_blend.h"
#include "surfaces/texture.h"

namespace {

// One row through draw_span over a triangle whose every gradient is 0, so the span carries
// exactly the values set on its left edge.
struct span_t {
    vertex_t a = corner(0, 0), b = corner(8, 4), c = corner(0, 8);
    gradients_t g{a, b, c};
    edge_t left{g, a, c, 0};
    void draw(screen_t& s, float left_x, float right_x, int32_t y, const texture_t& tex) {
        edge_t right = left;
        left.x = left_x;
        right.x = right_x;
        draw_span(s, g, left, right, y, tex);
    }
};

const texture_t none(1, 1, 32);

}  // namespace

TEST(Coverage, TrianglesSpansAndRows) {
    auto s = blank_screen(16, 8);
    rasterise_triangle(*s, corner(0, 0), corner(4, 2), corner(0, 4), 0, none);
    EXPECT_EQ(s->pixel_count, 12u);
    EXPECT_EQ(s->triangle_count, 1u);
    const uint32_t widths[] = {1, 3, 5, 3, 0, 0, 0, 0};
    for (uint32_t y = 0; y < 8; ++y) {
        SCOPED_TRACE(testing::Message() << "triangle row " << y);
        for (uint32_t x = 0; x < 16; ++x) EXPECT_EQ(covered(*s, x, y), x < widths[y]) << "x=" << x;
    }

    // Span ends round half to even: pixels nearest(left + 0.5) to nearest(right - 0.5).
    const float spans[][4] = {
        {2.3f, 5.6f, 3, 5}, {2.0f, 3.0f, 2, 2}, {3.0f, 4.0f, 4, 4}, {2.0f, 2.0f, 2, 2}, {3.0f, 3.0f, 1, 0}};
    for (const auto& [left, right, first, last] : spans) {
        SCOPED_TRACE(testing::Message() << "span from " << left << " to " << right);
        auto t = blank_screen(12, 1);
        span_t().draw(*t, left, right, 0, none);
        for (uint32_t x = 0; x < 12; ++x) EXPECT_EQ(covered(*t, x, 0), x >= first && x <= last) << "x=" << x;
    }
    // Rows come from the short edge: nearest(y) to nearest(y_end) - 1. These flat-bottomed
    // triangles fill only their upper half, and count even when they fill no row.
    const float rows[][4] = {{0.3f, 3.7f, 0, 3}, {2.5f, 3.5f, 2, 3}, {3.5f, 4.5f, 1, 0}};
    for (const auto& [top, bottom, first, last] : rows) {
        SCOPED_TRACE(testing::Message() << "flat bottom from " << top << " to " << bottom);
        auto t = blank_screen(40, 8);
        rasterise_triangle(*t, corner(0, top), corner(30, bottom), corner(0, bottom), 0, none);
        for (uint32_t y = 0; y < 8; ++y) EXPECT_EQ(covered(*t, 0, y), y >= first && y <= last) << "row " << y;
        EXPECT_EQ(t->triangle_count, 1u);
    }
    // A flat top fills only the lower half.
    auto t = blank_screen(40, 8);
    rasterise_triangle(*t, corner(0, 1), corner(20, 1), corner(0, 5), 0, none);
    for (uint32_t y = 0; y < 8; ++y) EXPECT_EQ(covered(*t, 0, y), y >= 1 && y <= 4) << "flat top, row " << y;
}

TEST(PixelTest, EqualDepthLosesAndAlphaOneIsSkipped) {
    // Stored depth, z, alpha, whether drawn; nine pixels each, a group of eight and one more.
    const float cases[][4] = {{0.5f, 0.5f, 0.5f, 0},  // equal depth loses
                              {0.5f, std::nextafter(0.5f, 0.0f), 0.5f, 1},
                              {1.0e37f, 9.0e36f, 0.5f, 1},  // a cleared depth lets anything below 1e37 through
                              {1.0e37f, 0.5f, 1.0f, 0},     // neither drawn, nor depth-written, nor counted
                              {1.0e37f, 0.5f, std::nextafter(1.0f, 0.0f), 1},
                              {1.0e37f, NAN, 0.5f, 1}};  // NaN fails neither comparison
    for (const auto& [stored, z, alpha, drawn] : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << stored << ", z " << z << ", alpha " << alpha);
        auto s = blank_screen(12, 1);
        std::fill(s->zbuffer, s->zbuffer + 12, stored);
        span_t span;
        span.left.values[interpolant::z] = z;
        span.left.values[interpolant::alpha] = alpha;
        span.draw(*s, 0.0f, 9.0f, 0, none);
        EXPECT_EQ(s->pixel_count, drawn * 9);
        for (uint32_t x = 0; x < 12; ++x) {
            const bool hit = drawn != 0 && x < 9;
            EXPECT_EQ(pixel(*s, x, 0)[2] != 0, hit) << "x=" << x;
            EXPECT_EQ(std::bit_cast<uint32_t>(depth(*s, x, 0)), std::bit_cast<uint32_t>(hit ? z : stored)) << "x=" << x;
        }
    }
}

TEST(PixelWrite, BytesAndBothBlends) {
    // nearest(channel * 255), low 8 bits; NaN and values beyond 32 bits give 0.
    const float bytes[][2] = {{1.0f, 255},           {0.5f, 128}, {0.2f, 51},    {2.0f, 254},
                              {-1.0f / 255.0f, 255}, {NAN, 0},    {INFINITY, 0}, {1.0e30f, 0}};
    for (const auto& [channel, byte] : bytes) {
        SCOPED_TRACE(testing::Message() << "channel " << channel);
        EXPECT_EQ(channel_to_byte(channel), byte);
        EXPECT_EQ(pixel_channel_byte(channel), byte);
    }
    // The per-pixel byte, taken without library calls, is low_byte_of_nearest's for every float.
    for (float v : {2.5f, -0.5f, 127.5f, 255.5f, 2147483520.0f, 2147483648.0f, -2147483648.0f, -2147483904.0f, INFINITY,
                    -INFINITY, NAN}) {
        EXPECT_EQ(pixel_byte(v), low_byte_of_nearest(v)) << v;
    }
    std::mt19937 rng(7);
    for (int i = 0; i < 1000000; ++i) {
        const float v = std::bit_cast<float>(static_cast<uint32_t>(rng()));  // every exponent
        ASSERT_EQ(pixel_byte(v), low_byte_of_nearest(v)) << std::hexfloat << v;
    }
    // Vertex colour: >> 8 divides by 256, and the shade scales the old pixel too (99 * 0.5 to even).
    // Columns: alpha, red, old red, old alpha, shade, new red, new alpha.
    const float writes[][7] = {
        {255, 255, 0, 0, 1.0f, 254, 254}, {128, 200, 100, 255, 1.0f, 149, 190}, {0, 255, 100, 0, 0.5f, 50, 0}};
    auto s = blank_screen(2, 1);
    uint8_t* f = s->framebuffer;
    for (const auto& [a, red, old_red, old_alpha, shade, new_red, new_alpha] : writes) {
        SCOPED_TRACE(testing::Message() << "alpha " << a << ", red " << red << " over red " << old_red << " alpha "
                                        << old_alpha << ", shade " << shade);
        f[2] = static_cast<uint8_t>(old_red);
        f[3] = static_cast<uint8_t>(old_alpha);
        s->draw_pixel(0, 0, static_cast<uint8_t>(a), static_cast<uint8_t>(red), 0, 0, shade);
        EXPECT_EQ(f[2], new_red);
        EXPECT_EQ(f[3], new_alpha);
    }
    s->draw_pixel(2, 0, 255, 1, 2, 3, 1.0f);  // outside, and negative as a huge unsigned number
    s->draw_pixel(static_cast<uint32_t>(-1), 0, 255, 1, 2, 3, 1.0f);
    EXPECT_EQ(f[4] + f[5] + f[6] + f[7], 0);

    // Texel over vertex colour over the old pixel: an opaque texel (T = 0) gives its own bytes,
    // a fully transparent one (T = 255) the vertex colour blended over the pixel, times the shade.
    texture_t tex(2, 1, 32);
    const uint8_t texels[8] = {10, 20, 30, 0, 10, 20, 30, 255};
    std::copy(texels, texels + 8, tex.pixels);
    f[0] = 40, f[1] = 80, f[2] = 120, f[3] = 7;
    s->draw_texel(0, 0, 0, 0, tex, vec4_t(1, 1, 1, 0.5f), 1.0f);
    EXPECT_EQ(std::vector<int>(f, f + 4), (std::vector<int>{10, 20, 30, 255}));
    f[0] = 0, f[1] = 102, f[2] = 255;
    s->draw_texel(0, 0, 1, 0, tex, vec4_t(1, 0, 0, 0.5f), 0.5f);
    // red 1 * 0.5 * 255 = 127.5 and green 0.2 * 0.5 * 255 = 25.5, both to even.
    EXPECT_EQ(std::vector<int>(f, f + 4), (std::vector<int>{0, 26, 128, 0}));

    // The wide blends form b / 255 from two products and a sum instead of a division: the
    // same bits for every byte.
    for (int byte = 0; byte < 256; ++byte) {
        const auto b = static_cast<float>(byte);
        EXPECT_EQ(std::bit_cast<uint32_t>(b * byte_fraction_high + b * byte_fraction_low),
                  std::bit_cast<uint32_t>(b / 255.0f))
            << "byte " << byte;
    }
}

TEST(SpanStart, PrestepAndTextureAddressing) {
    texture_t tex(32, 32, 32);  // opaque texels whose blue byte is their column
    for (uint32_t i = 0; i < 32 * 32; ++i) tex.pixels[i * 4] = static_cast<uint8_t>(i % 32);
    auto s = blank_screen(40, 1);
    s->textured = 1;
    span_t span;
    span.g.d_dx[interpolant::z] = 0.01f;
    span.left.values[interpolant::z] = 0.2f;
    span.left.values[interpolant::one_over_w] = 0.5f;
    span.left.values[interpolant::u_over_w] = 0.25f;
    span.draw(*s, 10.0f, 10.0f, 0, tex);
    EXPECT_EQ(depth(*s, 10, 0), 0.205f);  // the first sample lies half a pixel right of the edge
    EXPECT_EQ(pixel(*s, 10, 0)[0], 16);   // u = 0.25 / 0.5: 16.5 rounds to column 16
    // Wrap-around addressing on 32 columns (here u = u/w); a non-finite or huge u samples column 0.
    const float columns[][2] = {{0.5f, 16}, {1.0f, 0}, {-0.1f, 29}, {0.02f, 1}, {NAN, 0}, {INFINITY, 0}, {-1.0e30f, 0}};
    span.left.values[interpolant::one_over_w] = 1.0f;
    for (const auto& [u, column] : columns) {
        s->clear_zbuffer();
        span.left.values[interpolant::u_over_w] = u;
        span.draw(*s, 0.0f, 0.0f, 0, tex);
        EXPECT_EQ(pixel(*s, 0, 0)[0], column) << "u " << u;
    }
}

TEST(Wireframe, AtMostTwoUncountedPixelsPerRow) {
    auto s = blank_screen(32, 16);
    s->wireframe = 1;
    std::fill(s->zbuffer, s->zbuffer + 32 * 16, -1.0f);  // nearer than the triangle: wireframe ignores depth
    rasterise_triangle(*s, corner(2, 1), corner(25, 7), corner(4, 14), 0, none);
    EXPECT_EQ(s->pixel_count, 0u);
    EXPECT_EQ(s->triangle_count, 1u);
    EXPECT_TRUE(std::all_of(s->zbuffer, s->zbuffer + 32 * 16, [](float d) { return d == -1.0f; }));
    int rows = 0;
    for (uint32_t y = 0; y < 16; ++y) {
        int lit = 0;
        for (uint32_t x = 0; x < 32; ++x) lit += pixel(*s, x, y)[2] != 0;
        EXPECT_LE(lit, 2) << "row " << y;
        rows += lit > 0;
    }
    EXPECT_EQ(rows, 13);
}

TEST(SpanPath, SoftcubeIsaNamesThePathOrTheWidestIsTaken) {
    using enum span_isa_t;
    const auto requested = [](const char* text, span_isa_t widest) {
        const span_isa_request_t r = span_isa_requested(text, widest);
        return std::pair(r.isa, r.warning);
    };
    const std::string unknown = " is not a span path (portable, sse2, avx2 or avx512, or empty for the best); using ";
    // Unset or empty: the widest, silently; a path the processor runs: that path, silently.
    EXPECT_EQ(requested(nullptr, avx2), std::pair(avx2, std::string()));
    EXPECT_EQ(requested("", avx512), std::pair(avx512, std::string()));
    for (const span_isa_t isa : {portable, sse2, avx2, avx512}) {
        EXPECT_EQ(requested(span_isa_name(isa), avx512), std::pair(isa, std::string())) << span_isa_name(isa);
    }
    EXPECT_EQ(requested("avx2", avx2), std::pair(avx2, std::string()));
    EXPECT_EQ(requested("portable", portable), std::pair(portable, std::string()));
    // Wider than the processor runs: the widest, and one line saying so.
    EXPECT_EQ(requested("avx512", avx2),
              std::pair(avx2, std::string("SOFTCUBE_ISA=avx512 is not supported by this processor; using avx2")));
    EXPECT_EQ(requested("avx2", sse2),
              std::pair(sse2, std::string("SOFTCUBE_ISA=avx2 is not supported by this processor; using sse2")));
    EXPECT_EQ(requested("sse2", portable),
              std::pair(portable, std::string("SOFTCUBE_ISA=sse2 is not supported by this processor; using portable")));
    // Names are exact: other case, spaces, "best" and anything else are not paths.
    for (const char* text : {"AVX2", "avx2 ", " sse2", "best", "avx", "avx5120", "-"}) {
        EXPECT_EQ(requested(text, avx512), std::pair(avx512, "SOFTCUBE_ISA=" + std::string(text) + unknown + "avx512"));
    }
    EXPECT_EQ(requested("x", portable).second, "SOFTCUBE_ISA=x" + unknown + "portable");
}

TEST(Scanlines, TwoHalvesOverTheCallersSetUpDrawTheTriangle) {
    // The set-up made by hand (gradients, then the long, upper and lower edges), each half
    // through draw_scanlines, against rasterise_triangle: the same bytes, depths and pixel
    // count, for triangles inside the target, reaching above it and beyond its sides.
    texture_t tex(4, 4, 32);
    for (uint32_t i = 0; i < 64; ++i) tex.pixels[i] = static_cast<uint8_t>(i * 29 + 3);
    const float shapes[][6] = {{2.3f, 1.2f, 20.5f, 6.0f, 5.0f, 13.7f},
                               {-8.0f, -30.0f, 40.0f, 3.5f, 12.0f, 15.2f},
                               {10.0f, -5.0f, 3.0f, -1.0f, 30.0f, 9.0f}};
    for (int mode = 0; mode < 4; ++mode) {
        for (const auto& p : shapes) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", top " << p[0] << ", " << p[1]);
            auto by_halves = blank_screen(24, 12), whole = blank_screen(24, 12);
            set_mode(*by_halves, mode);
            set_mode(*whole, mode);
            const vertex_t top = corner(p[0], p[1], 0.2f), middle = corner(p[2], p[3], 0.6f),
                           bottom = corner(p[4], p[5], 0.4f);
            const int32_t middle_is_left = doubled_signed_area(top, middle, bottom) <= 0.0f ? -1 : 0;
            const gradients_t g(top, middle, bottom);
            edge_t long_edge(g, top, bottom, 0), upper(g, top, middle, 0), lower(g, middle, bottom, 1);
            draw_scanlines(*by_halves, g, long_edge, upper, middle_is_left, tex);
            draw_scanlines(*by_halves, g, long_edge, lower, middle_is_left, tex);
            ++by_halves->triangle_count;
            rasterise_triangle(*whole, top, middle, bottom, middle_is_left, tex);
            EXPECT_TRUE(same_picture(*whole, *by_halves));
            EXPECT_GT(whole->pixel_count + (mode & 2), 0u);
        }
    }
    // Both edges come out of the upper half stepped once per row of it: rows 1 to 5 here.
    const vertex_t top = corner(0, 1.2f), middle = corner(8, 6.0f), bottom = corner(3, 9.0f);
    const gradients_t g(top, middle, bottom);
    edge_t long_edge(g, top, bottom, 0), upper(g, top, middle, 0);
    edge_t long_stepped = long_edge, upper_stepped = upper;
    for (int row = 1; row <= 5; ++row) {
        long_stepped.step();
        upper_stepped.step();
    }
    auto s = blank_screen(16, 12);
    draw_scanlines(*s, g, long_edge, upper, 0, none);
    EXPECT_EQ(std::vector<float>({long_edge.x, long_edge.get_z(), upper.x, upper.get_shade()}),
              std::vector<float>({long_stepped.x, long_stepped.get_z(), upper_stepped.x, upper_stepped.get_shade()}));
}
