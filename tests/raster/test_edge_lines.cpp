// Lines: their pixels on known lines, either end first, the depth bias, shared edges blended once, absurd ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <utility>

#include "picture_option_fixtures.h"
#include "raster/edge_lines.h"
#include "surfaces/pixel_blend.h"

namespace {

using pixel_set = std::set<std::pair<int, int>>;

line_end_t end_at(float x, float y, float z = 0.5f, vec4_t colour = {1.0f, 0.5f, 0.25f, 0.5f}) {
    line_end_t e;
    e.x = x;
    e.y = y;
    e.z = z;
    e.colour = colour;
    return e;
}

// The pixels a line writes on a cleared target (their depths no longer the cleared one).
pixel_set pixels_of(const line_end_t& a, const line_end_t& b, uint32_t width = 24, uint32_t height = 16,
                    int64_t row_begin = 0, int64_t row_end = 16, uint32_t* drawn = nullptr) {
    render_target_t target(width, height);
    target.clear_depth_rows(0, height);
    const uint32_t n = draw_line(target, a, b, 1.0f, row_begin, row_end);
    if (drawn != nullptr) *drawn = n;
    pixel_set s;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            if (target.zbuffer[size_t{y} * width + x] != 1.0e37f) s.insert({static_cast<int>(x), static_cast<int>(y)});
        }
    }
    EXPECT_EQ(n, s.size());
    return s;
}

pixel_set both_ways(float ax, float ay, float bx, float by) {
    const pixel_set forward = pixels_of(end_at(ax, ay), end_at(bx, by));
    EXPECT_EQ(forward, pixels_of(end_at(bx, by), end_at(ax, ay))) << "the same pixels either end first";
    return forward;
}

}  // namespace

TEST(EdgeLines, KnownLinesTakeOnePixelPerColumnOrRow) {
    // Along x: each column from the first end's pixel to the last's, the row rounded.
    EXPECT_EQ(both_ways(2.3f, 4.0f, 7.6f, 4.0f), (pixel_set{{2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 4}, {8, 4}}));
    // A coordinate half-way between two pixels belongs to the next one: x 2.5 is pixel 3.
    EXPECT_EQ(both_ways(2.5f, 1.0f, 4.5f, 1.0f), (pixel_set{{3, 1}, {4, 1}, {5, 1}}));
    EXPECT_EQ(both_ways(0.0f, 0.0f, 4.0f, 4.0f), (pixel_set{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    EXPECT_EQ(both_ways(0.0f, 3.0f, 6.0f, 0.0f),
              (pixel_set{{0, 3}, {1, 3}, {2, 2}, {3, 2}, {4, 1}, {5, 1}, {6, 0}}));  // y 2.5 at x 1 is row 3
    // Along y, steep: x at each row's centre, rounded.
    EXPECT_EQ(both_ways(1.0f, 0.0f, 2.0f, 5.0f), (pixel_set{{1, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}, {2, 5}}));
    EXPECT_EQ(both_ways(5.0f, 2.0f, 5.0f, 6.0f), (pixel_set{{5, 2}, {5, 3}, {5, 4}, {5, 5}, {5, 6}}));
    // A line of no length is the pixel holding it.
    EXPECT_EQ(both_ways(3.4f, 3.6f, 3.4f, 3.6f), (pixel_set{{3, 4}}));
    // Rows outside the window and pixels outside the target are left alone.
    EXPECT_EQ(pixels_of(end_at(0.0f, 0.0f), end_at(4.0f, 4.0f), 24, 16, 2, 4), (pixel_set{{2, 2}, {3, 3}}));
    EXPECT_EQ(pixels_of(end_at(-3.0f, 1.0f), end_at(30.0f, 1.0f)).size(), 24u);
}

TEST(EdgeLines, ValuesAreInterpolatedAlongTheLineAndBlendedAsASpanPixel) {
    render_target_t target(8, 4);
    target.clear_depth_rows(0, 4);
    line_end_t a = end_at(0.0f, 1.0f, 0.25f, vec4_t(0.0f, 0.0f, 0.0f, 0.5f));
    line_end_t b = end_at(4.0f, 1.0f, 0.75f, vec4_t(1.0f, 1.0f, 1.0f, 0.5f));
    a.shade = 1.0f;
    b.shade = 0.5f;
    EXPECT_EQ(draw_line(target, a, b, 1.0f, 0, 4), 5u);
    // Pixel 2 is half-way: colour 0.5, shade 0.75, depth 0.5 less the bias.
    uint8_t expected[4] = {0, 0, 0, 0};
    blend_vertex_colour(expected, channel_to_byte(0.5f), channel_to_byte(0.5f), channel_to_byte(0.5f),
                        channel_to_byte(0.5f), 0.75f);
    EXPECT_EQ(std::memcmp(target.framebuffer + (1 * 8 + 2) * 4, expected, 4), 0);
    EXPECT_EQ(target.zbuffer[1 * 8 + 2], 0.5f - line_depth_bias);
    EXPECT_EQ(target.zbuffer[1 * 8 + 0], 0.25f - line_depth_bias);
    // The shade scale darkens lines drawn over a fill.
    render_target_t over(8, 4);
    over.clear_depth_rows(0, 4);
    draw_line(over, a, b, 0.5f, 0, 4);
    uint8_t darker[4] = {0, 0, 0, 0};
    blend_vertex_colour(darker, channel_to_byte(0.5f), channel_to_byte(0.5f), channel_to_byte(0.5f),
                        channel_to_byte(0.5f), 0.375f);
    EXPECT_EQ(std::memcmp(over.framebuffer + (1 * 8 + 2) * 4, darker, 4), 0);
}

TEST(EdgeLines, DepthBiasLetsLinesOnASurfaceWinAndASecondDrawLose) {
    render_target_t target(8, 4);
    target.clear_depth_rows(0, 4);
    // A surface at depth 0.5 drawn already; a line on it wins, a line behind it by more than
    // the bias loses.
    std::fill(target.zbuffer, target.zbuffer + 32, 0.5f);
    EXPECT_EQ(draw_line(target, end_at(0, 1, 0.5f), end_at(7, 1, 0.5f), 1.0f, 0, 4), 8u);
    EXPECT_EQ(draw_line(target, end_at(0, 2, 0.51f), end_at(7, 2, 0.51f), 1.0f, 0, 4), 0u);
    // The same line again finds its own depths: equal depth loses, so it is blended once.
    EXPECT_EQ(draw_line(target, end_at(7, 1, 0.5f), end_at(0, 1, 0.5f), 1.0f, 0, 4), 0u);
    // Alpha 1.0 or more is not drawn; ends that are not finite draw nothing.
    EXPECT_EQ(draw_line(target, end_at(0, 3, 0.1f, {1, 1, 1, 1}), end_at(7, 3, 0.1f, {1, 1, 1, 1}), 1.0f, 0, 4), 0u);
    EXPECT_EQ(draw_line(target, end_at(NAN, 3, 0.1f), end_at(7, 3, 0.1f), 1.0f, 0, 4), 0u);
    EXPECT_EQ(draw_line(target, end_at(0, 3, 0.1f), end_at(7, INFINITY, 0.1f), 1.0f, 0, 4), 0u);
}

TEST(EdgeLines, AbsurdEndsAreCutToTheGridsReach) {
    // The visible part of a line from far away: the same pixels as the line from the target's edge.
    EXPECT_EQ(pixels_of(end_at(-1.0e30f, 5.0f), end_at(10.0f, 5.0f)),
              pixels_of(end_at(-3.0f, 5.0f), end_at(10.0f, 5.0f)));
    EXPECT_EQ(pixels_of(end_at(3.0f, -3.0e38f), end_at(3.0f, 9.0f)),
              pixels_of(end_at(3.0f, -2.0f), end_at(3.0f, 9.0f)));
    EXPECT_TRUE(pixels_of(end_at(-1.0e30f, -1.0e30f), end_at(-2.0e30f, 1.0e30f)).empty());
}

TEST(EdgeLines, TrianglesDrawTheirEdgesOverTheFillOrAloneAndCountThem) {
    texture_t texture(1, 1, 32);
    const vertex_t a = screen_corner(2.0f, 1.0f, 0.5f, {0.2f, 0.6f, 0.9f, 0.5f});
    const vertex_t b = screen_corner(17.0f, 6.0f, 0.5f, {0.2f, 0.6f, 0.9f, 0.5f});
    const vertex_t c = screen_corner(4.0f, 13.0f, 0.5f, {0.2f, 0.6f, 0.9f, 0.5f});
    const vertex_t d = screen_corner(19.0f, 14.0f, 0.5f, {0.2f, 0.6f, 0.9f, 0.5f});
    // Two triangles sharing the edge b-c, lines alone: the shared edge's pixels blended once.
    render_target_t alone(24, 16);
    alone.clear_depth_rows(0, 16);
    draw_state_t state;
    state.lines = line_mode_t::only;
    frame_counters_t counters;
    {
        frame_renderer_t renderer(alone, state, counters);
        draw_screen_triangle(renderer, a, b, c, texture);
        draw_screen_triangle(renderer, c, b, d, texture);
    }
    line_end_t ends[4];
    const vertex_t* v[4] = {&a, &b, &c, &d};
    for (int i = 0; i < 4; ++i) ends[i] = end_at(v[i]->position.x, v[i]->position.y, 0.5f, v[i]->colour);
    render_target_t lines(24, 16);
    lines.clear_depth_rows(0, 16);
    uint32_t expected = 0;
    for (const auto& [i, j] : {std::pair(0, 1), std::pair(1, 2), std::pair(0, 2), std::pair(2, 3), std::pair(1, 3)}) {
        expected += draw_line(lines, ends[i], ends[j], 1.0f, 0, 16);
    }
    EXPECT_EQ(counters.pixel_count, expected);
    EXPECT_EQ(counters.triangle_count, 2u);
    EXPECT_EQ(std::memcmp(alone.framebuffer, lines.framebuffer, 24 * 16 * 4), 0);

    // Over the fill: the fill's pixels, then the edges at half shade on top, counted too.
    render_target_t filled(24, 16), over(24, 16);
    filled.clear_depth_rows(0, 16);
    over.clear_depth_rows(0, 16);
    frame_counters_t fill_counts, over_counts;
    draw_state_t fill_state, over_state;
    fill_state.edges = over_state.edges = edge_rule_t::watertight;
    over_state.lines = line_mode_t::over_fill;
    {
        frame_renderer_t r1(filled, fill_state, fill_counts), r2(over, over_state, over_counts);
        draw_screen_triangle(r1, a, b, c, texture);
        draw_screen_triangle(r2, a, b, c, texture);
    }
    uint32_t line_pixels = 0;
    for (const auto& [i, j] : {std::pair(0, 1), std::pair(1, 2), std::pair(0, 2)}) {
        line_pixels += draw_line(filled, ends[i], ends[j], 0.5f, 0, 16);
    }
    EXPECT_GT(line_pixels, 30u);
    EXPECT_EQ(over_counts.pixel_count, fill_counts.pixel_count + line_pixels);
    EXPECT_EQ(std::memcmp(filled.framebuffer, over.framebuffer, 24 * 16 * 4), 0);
}
