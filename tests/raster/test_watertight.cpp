// The watertight rule against a per-sample test and a slow reference: rows, closed meshes, every span path and filter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "math/nearest.h"
#include "picture_option_fixtures.h"
#include "raster/span_fill.h"
#include "raster/texture_filter.h"
#include "raster/watertight_coverage.h"
#include "reference_rasteriser.h"
#include "span_path_fixture.h"
#include "surfaces/pixel_blend.h"
#include "surfaces/screen.h"

namespace {

using watertight::snapped_triangle_t;

// Products of coordinates without any question of their range.
__extension__ typedef __int128 wide_t;

// The rule written out per sample: corners snapped to 1/256 pixel, each edge's function in
// 128 bits with the triangle's orientation taken out, a sample on an edge inside only when
// that edge is a top edge (horizontal, running right) or a left edge (running up).
struct slow_triangle_t {
    int64_t x[3];
    int64_t y[3];
    int sign = 0;  // of the doubled area: 0 for no area

    slow_triangle_t(const vec4_t& a, const vec4_t& b, const vec4_t& c) {
        const vec4_t* p[3] = {&a, &b, &c};
        for (int i = 0; i < 3; ++i) {
            x[i] = static_cast<int64_t>(std::nearbyint(static_cast<double>(p[i]->x) * 256.0));
            y[i] = static_cast<int64_t>(std::nearbyint(static_cast<double>(p[i]->y) * 256.0));
        }
        const wide_t area =
            static_cast<wide_t>(x[1] - x[0]) * (y[2] - y[0]) - static_cast<wide_t>(y[1] - y[0]) * (x[2] - x[0]);
        sign = area > 0 ? 1 : (area < 0 ? -1 : 0);
    }

    bool covers(int64_t column, int64_t row) const {
        if (sign == 0) return false;
        const int64_t sx = column * 256, sy = row * 256;
        for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3;
            const int64_t dx = (x[j] - x[i]) * sign, dy = (y[j] - y[i]) * sign;
            const wide_t e = sign * (static_cast<wide_t>(x[j] - x[i]) * (sy - y[i]) -
                                     static_cast<wide_t>(y[j] - y[i]) * (sx - x[i]));
            const bool top_left = dy < 0 || (dy == 0 && dx > 0);
            if (!(e > 0 || (e == 0 && top_left))) return false;
        }
        return true;
    }
};

// The whole picture of one triangle under the rule: each row from its first covered pixel
// inside the target, the values there from the planes through the top corner (in double,
// rounded once; rates that are not finite taken as 0), then one addition per pixel; pixels
// tested and blended as the spans do, the texel read by the screen's filter (whose sampling
// tests/raster/test_texture_filter.cpp holds to exact bytes).
void slow_watertight(screen_t& s, const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                     const texture_t& texture) {
    ++s.triangle_count;
    const slow_triangle_t t(top.position, middle.position, bottom.position);
    gradients_t g;
    g.set_up<interpolant::count>(top, middle, bottom, s.light);
    for (int i = 0; i < interpolant::count; ++i) {
        if (!std::isfinite(g.d_dx[i])) g.d_dx[i] = 0.0f;
        if (!std::isfinite(g.d_dy[i])) g.d_dy[i] = 0.0f;
    }
    for (int64_t row = 0; row < s.height; ++row) {
        int64_t first = -1;
        interpolants_t v;
        for (int64_t column = 0; column < s.width; ++column) {
            if (!t.covers(column, row)) {
                ASSERT_TRUE(first < 0 || !t.covers(column + 1, row)) << "a row's pixels are one run";
                continue;
            }
            if (first < 0) {
                first = column;
                for (int i = 0; i < interpolant::count; ++i) {
                    v[i] =
                        static_cast<float>(g.vertex[0][i] + (static_cast<double>(column) - top.position.x) * g.d_dx[i] +
                                           (static_cast<double>(row) - top.position.y) * g.d_dy[i]);
                }
            } else {
                for (int i = 0; i < interpolant::count; ++i) v[i] += g.d_dx[i];
            }
            float& depth = s.zbuffer[row * s.width + column];
            if (v[interpolant::z] >= depth || v[interpolant::alpha] >= 1.0f) continue;
            depth = v[interpolant::z];
            uint8_t* f = s.framebuffer + (row * s.width + column) * 4;
            if (s.textured != 0) {
                const float w = 1.0f / v[interpolant::one_over_w];
                const float u = w * v[interpolant::u_over_w], tv = w * v[interpolant::v_over_w];
                uint8_t texel[4];
                if (s.filter == texture_filter_t::nearest) {
                    const uint32_t tx = texel_coordinate(u * texture.width + 0.5f) % texture.width;
                    const uint32_t ty = texel_coordinate(tv * texture.height + 0.5f) % texture.height;
                    std::memcpy(texel, texture.pixels + (ty * texture.width + tx) * 4, 4);
                } else if (s.filter == texture_filter_t::linear) {
                    sample_bilinear({texture.pixels, texture.width, texture.height, 4}, u, tv, texel);
                } else {
                    // The footprint from the perspective-correct derivatives, in texels.
                    const auto rate = [&](const interpolants_t& d, int q, float value, uint32_t size) {
                        return (d[q] - value * d[interpolant::one_over_w]) * w * static_cast<float>(size);
                    };
                    const int32_t level =
                        mip_level_of_footprint(rate(g.d_dx, interpolant::u_over_w, u, texture.width),
                                               rate(g.d_dx, interpolant::v_over_w, tv, texture.height),
                                               rate(g.d_dy, interpolant::u_over_w, u, texture.width),
                                               rate(g.d_dy, interpolant::v_over_w, tv, texture.height));
                    sample_trilinear(texture, u, tv, level, texel);
                }
                blend_texel(f, texel, v.colour(), v[interpolant::shade]);
            } else {
                blend_vertex_colour(f, channel_to_byte(v[interpolant::alpha]), channel_to_byte(v[interpolant::red]),
                                    channel_to_byte(v[interpolant::green]), channel_to_byte(v[interpolant::blue]),
                                    v[interpolant::shade]);
            }
            ++s.pixel_count;
        }
    }
}

// Each row's columns as the coverage walk gives them, against the per-sample test.
void expect_rows_match(const vec4_t& a, const vec4_t& b, const vec4_t& c) {
    snapped_triangle_t t;
    ASSERT_TRUE(watertight::snap_triangle(a, b, c, t));
    const slow_triangle_t slow(a, b, c);
    if (t.empty) {
        // No area, or no row's samples between its corners: nothing covered.
        for (int64_t row = -4; row < 40; ++row) {
            for (int64_t column = -4; column < 40; ++column) ASSERT_FALSE(slow.covers(column, row));
        }
        return;
    }
    ASSERT_NE(slow.sign, 0);
    watertight::coverage_rows_t rows(t, t.row_first);
    for (int64_t row = t.row_first; row <= t.row_last; ++row) {
        int64_t first = 0, last = 0;
        rows.take_row(first, last);
        int64_t slow_first = 1, slow_last = 0;
        for (int64_t column = std::min({t.x[0], t.x[1], t.x[2]}) / 256 - 2;
             column <= std::max({t.x[0], t.x[1], t.x[2]}) / 256 + 2; ++column) {
            if (!slow.covers(column, row)) continue;
            if (slow_first > slow_last) slow_first = column;
            slow_last = column;
        }
        if (slow_first > slow_last) {
            EXPECT_LT(last, first) << "row " << row;
        } else {
            EXPECT_EQ(first, slow_first) << "row " << row;
            EXPECT_EQ(last, slow_last) << "row " << row;
        }
    }
    // No row outside the range has a covered sample.
    for (const int64_t row : {t.row_first - 1, t.row_last + 1}) {
        for (int64_t column = -2; column < 40; ++column) EXPECT_FALSE(slow.covers(column, row));
    }
}

}  // namespace

TEST(WatertightCoverage, SnapsToTheGridAndRefusesWhatItCannotHold) {
    EXPECT_EQ(watertight::snap(1.0f), 256);
    EXPECT_EQ(watertight::snap(-0.25f), -64);
    EXPECT_EQ(watertight::snap(0.5f / 256.0f), 0);  // a tie goes to the even multiple
    EXPECT_EQ(watertight::snap(1.5f / 256.0f), 2);
    EXPECT_EQ(watertight::snap(1048576.0f), int64_t{1} << 28);
    snapped_triangle_t t;
    EXPECT_TRUE(watertight::snap_triangle(vec4_t(0, 0, 0), vec4_t(1048576.0f, 0, 0), vec4_t(0, -1048576.0f, 0), t));
    EXPECT_FALSE(watertight::snap_triangle(vec4_t(0, 0, 0), vec4_t(1048577.0f, 0, 0), vec4_t(0, 1, 0), t));
    EXPECT_FALSE(watertight::snap_triangle(vec4_t(0, NAN, 0), vec4_t(1, 0, 0), vec4_t(0, 1, 0), t));
    EXPECT_FALSE(watertight::snap_triangle(vec4_t(0, 0, 0), vec4_t(INFINITY, 0, 0), vec4_t(0, 1, 0), t));
    // Corners that meet on the grid: no area, nothing covered; so too between two rows' samples.
    ASSERT_TRUE(watertight::snap_triangle(vec4_t(0, 0, 0), vec4_t(1, 1, 0), vec4_t(2.001f, 2.001f, 0), t));
    EXPECT_TRUE(t.empty);
    ASSERT_TRUE(watertight::snap_triangle(vec4_t(0, 3.1f, 0), vec4_t(9, 3.2f, 0), vec4_t(2, 3.9f, 0), t));
    EXPECT_TRUE(t.empty);
    // A horizontal edge on the lowest row's samples keeps them out; on the highest, in.
    ASSERT_TRUE(watertight::snap_triangle(vec4_t(0, 1, 0), vec4_t(4, 1, 0), vec4_t(2, 4, 0), t));
    EXPECT_EQ(std::pair(t.row_first, t.row_last), std::pair(int64_t{1}, int64_t{4}));
    ASSERT_TRUE(watertight::snap_triangle(vec4_t(0, 4, 0), vec4_t(4, 4, 0), vec4_t(2, 1, 0), t));
    EXPECT_EQ(std::pair(t.row_first, t.row_last), std::pair(int64_t{1}, int64_t{3}));
    // Counter-clockwise corners are turned round; the rows run from the top corner's row
    // (rounded up) to the bottom one's (rounded down).
    ASSERT_TRUE(watertight::snap_triangle(vec4_t(0, 0.5f, 0), vec4_t(0, 5, 0), vec4_t(5, 0.5f, 0), t));
    EXPECT_FALSE(t.empty);
    EXPECT_EQ(std::pair(t.row_first, t.row_last), std::pair(int64_t{1}, int64_t{5}));
    EXPECT_EQ(std::pair(t.x[1], t.y[1]), std::pair(int64_t{5 * 256}, int64_t{128}));
}

TEST(WatertightCoverage, RowsMatchThePerSampleRule) {
    // Samples exactly on edges and corners, horizontal and vertical edges on both sides.
    expect_rows_match(vec4_t(0, 0, 0), vec4_t(4, 0, 0), vec4_t(0, 4, 0));
    expect_rows_match(vec4_t(0, 0, 0), vec4_t(4, 4, 0), vec4_t(0, 4, 0));
    expect_rows_match(vec4_t(2, 1, 0), vec4_t(6, 5, 0), vec4_t(-2, 5, 0));
    expect_rows_match(vec4_t(1.5f, 0.5f, 0), vec4_t(9.5f, 3.5f, 0), vec4_t(4.5f, 7.5f, 0));
    expect_rows_match(vec4_t(0.3f, 0.7f, 0), vec4_t(30.1f, 2.2f, 0), vec4_t(0.9f, 2.9f, 0));  // a sliver
    std::mt19937 random(17);
    std::uniform_real_distribution<float> coordinate(-3.0f, 35.0f);
    std::uniform_int_distribution<int> grid(-12, 140);
    for (int n = 0; n < 3000; ++n) {
        // Half the corners on a quarter-pixel grid, so that samples fall on edges often.
        const auto corner = [&] {
            return n % 2 == 0
                       ? vec4_t(coordinate(random), coordinate(random), 0)
                       : vec4_t(static_cast<float>(grid(random)) / 4.0f, static_cast<float>(grid(random)) / 4.0f, 0);
        };
        const vec4_t a = corner(), b = corner(), c = corner();
        expect_rows_match(a, b, c);
        if (HasFailure()) {
            ADD_FAILURE() << "triangle " << n;
            return;
        }
    }
}

TEST(Watertight, SharedEdgesOfClosedMeshesCoverEveryPixelOnce) {
    constexpr uint32_t width = 61, height = 47;
    std::mt19937 random(2024);
    texture_t texture(1, 1, 32);
    uint32_t spans_cracks = 0;
    for (int mesh = 0; mesh < 40; ++mesh) {
        // The outline, its corners on the pixel grid's quarters, partly off the target now and then.
        const float x0 = static_cast<float>(static_cast<int>(random() % 40) - 8) / 4.0f;
        const float y0 = static_cast<float>(static_cast<int>(random() % 40) - 8) / 4.0f;
        const float x1 = x0 + 20.0f + static_cast<float>(random() % 160) / 4.0f;
        const float y1 = y0 + 15.0f + static_cast<float>(random() % 120) / 4.0f;
        const random_sheet_t sheet(random, 2 + static_cast<int>(random() % 9), 2 + static_cast<int>(random() % 7), x0,
                                   y0, x1, y1);
        for (const edge_rule_t rule : {edge_rule_t::watertight, edge_rule_t::spans}) {
            // How many triangles cover each pixel: each drawn alone on cleared depths.
            std::vector<int> covered(size_t{width} * height, 0);
            render_target_t target(width, height);
            draw_state_t state;
            state.edges = rule;
            frame_counters_t counters;
            frame_renderer_t renderer(target, state, counters);
            for (size_t t = 0; t < sheet.triangle_count(); ++t) {
                target.clear_depth_rows(0, height);
                const vertex_t* c = &sheet.corners[t * 3];
                draw_screen_triangle(renderer, c[0], c[1], c[2], texture);
                for (size_t i = 0; i < covered.size(); ++i) covered[i] += target.zbuffer[i] != 1.0e37f ? 1 : 0;
            }
            for (uint32_t y = 0; y < height; ++y) {
                for (uint32_t x = 0; x < width; ++x) {
                    const int count = covered[size_t{y} * width + x];
                    // Pixel centres inside the outline, on its top or left side included.
                    const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
                    if (rule == edge_rule_t::spans) {
                        spans_cracks += inside && count == 0 ? 1 : 0;
                        continue;
                    }
                    ASSERT_EQ(count, inside ? 1 : 0) << "mesh " << mesh << " pixel " << x << ", " << y;
                }
            }
        }
    }
    // The span rule, for comparison, leaves pixels of the same meshes uncovered.
    EXPECT_GT(spans_cracks, 100u);
}

TEST(Watertight, TranslucentMeshesBlendEachPixelOnce) {
    // Each triangle nearer than the one before, so that the depth test lets a second cover
    // through: it would blend the colour in twice.
    constexpr uint32_t width = 53, height = 40;
    std::mt19937 random(99);
    texture_t texture(1, 1, 32);
    for (int mesh = 0; mesh < 20; ++mesh) {
        random_sheet_t sheet(random, 3 + mesh % 6, 2 + mesh % 5, 2.25f, 1.5f, 48.75f, 37.0f);
        render_target_t target(width, height);
        target.clear_depth_rows(0, height);
        draw_state_t state;
        state.edges = edge_rule_t::watertight;
        frame_counters_t counters;
        frame_renderer_t renderer(target, state, counters);
        for (size_t t = 0; t < sheet.triangle_count(); ++t) {
            vertex_t* c = &sheet.corners[t * 3];
            for (int k = 0; k < 3; ++k) {
                c[k].position.z = 0.5f - static_cast<float>(t) * 0.001f;
                c[k].colour = vec4_t(1.0f, 0.5f, 0.25f, 0.5f);
            }
            draw_screen_triangle(renderer, c[0], c[1], c[2], texture);
        }
        uint8_t once[4] = {0, 0, 0, 0};
        blend_vertex_colour(once, channel_to_byte(0.5f), channel_to_byte(1.0f), channel_to_byte(0.5f),
                            channel_to_byte(0.25f), 1.0f);
        uint32_t inside = 0;
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t* p = target.framebuffer + (size_t{y} * width + x) * 4;
                const bool in = x >= 2.25f && x < 48.75f && y >= 1.5f && y < 37.0f;
                inside += in ? 1 : 0;
                const uint8_t none[4] = {0, 0, 0, 0};
                ASSERT_EQ(std::memcmp(p, in ? once : none, 4), 0) << "mesh " << mesh << " pixel " << x << ", " << y;
            }
        }
        EXPECT_EQ(counters.pixel_count, inside);
        EXPECT_EQ(counters.triangle_count, sheet.triangle_count());
    }
}

namespace {

class WatertightPaths : public span_path_test {};
SOFTCUBE_EVERY_SPAN_PATH(WatertightPaths);

}  // namespace

TEST_P(WatertightPaths, MatchTheSlowReference) {
    // Odd sizes, rows wider than the fills' blocks; triangles from tiny to beyond every side,
    // many of them lying on each other (depth ties), vertex-coloured and textured.
    constexpr uint32_t width = 157, height = 43;
    texture_t texture(8, 4, 32);
    for (uint32_t i = 0; i < 8 * 4 * 4; ++i) texture.pixels[i] = static_cast<uint8_t>(i * 37 + 11);
    texture.build_mips();
    std::mt19937 random(0xC0DE + static_cast<unsigned>(isa));
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int round = 0; round < 60; ++round) {
        auto fast = std::make_unique<screen_t>(width, height, 90.0f, screen_t::offscreen_tag{});
        auto slow = std::make_unique<screen_t>(width, height, 90.0f, screen_t::offscreen_tag{});
        for (screen_t* s : {fast.get(), slow.get()}) {
            s->clear_zbuffer();
            s->edges = edge_rule_t::watertight;
            s->textured = round % 2;
            s->filter = static_cast<texture_filter_t>(round / 2 % 3);
            s->light = round % 3 == 0 ? light_from_angles(40.0, -25.0) : default_light;
        }
        const float spread = round % 4 == 0 ? 8.0f : (round % 4 == 1 ? 60.0f : 220.0f);
        frame_renderer_t renderer(*fast, *fast, *fast);
        for (int n = 0; n < 24; ++n) {
            vertex_t v[3];
            for (vertex_t& c : v) {
                const float cx = unit(random) * spread - spread * 0.2f,
                            cy = unit(random) * spread * 0.4f - spread * 0.1f;
                c = vertex_t(
                    vec4_t(cx, cy, static_cast<float>(static_cast<int>(unit(random) * 5)) / 4.0f, 0.5f + unit(random)),
                    vec4_t(unit(random), unit(random), unit(random), unit(random) * 1.1f),
                    vec4_t(unit(random) - 0.5f, unit(random) - 0.5f, unit(random), 0.0f),
                    vec4_t(unit(random) * 3 - 1, unit(random) * 3 - 1, 0, 0));
            }
            const corner_order_t o = order_corners(false, v[0], v[1], v[2]);
            renderer.rasterise_triangle(v[o.top], v[o.middle], v[o.bottom], o.middle_is_left, texture);
            slow_watertight(*slow, v[o.top], v[o.middle], v[o.bottom], texture);
        }
        ASSERT_EQ(fast->pixel_count, slow->pixel_count) << "round " << round;
        ASSERT_EQ(fast->triangle_count, slow->triangle_count);
        ASSERT_EQ(std::memcmp(fast->framebuffer, slow->framebuffer, size_t{width} * height * 4), 0)
            << "round " << round;
        ASSERT_EQ(std::memcmp(fast->zbuffer, slow->zbuffer, size_t{width} * height * 4), 0) << "round " << round;
    }
}

TEST_P(WatertightPaths, CornersBeyondTheGridTakeTheSpanRule) {
    auto fast = std::make_unique<screen_t>(40, 30, 90.0f, screen_t::offscreen_tag{});
    auto slow = std::make_unique<screen_t>(40, 30, 90.0f, screen_t::offscreen_tag{});
    fast->clear_zbuffer();
    slow->clear_zbuffer();
    fast->edges = edge_rule_t::watertight;
    const vertex_t top = screen_corner(5.3f, 2.2f), middle = screen_corner(2.0e6f, 14.7f),
                   bottom = screen_corner(3.1f, 25.6f);
    frame_renderer_t(*fast, *fast, *fast).rasterise_triangle(top, middle, bottom, 0, texture_t(1, 1, 32));
    reference::triangle(*slow, top, middle, bottom, 0, texture_t(1, 1, 32));
    EXPECT_GT(slow->pixel_count, 100u);
    EXPECT_EQ(fast->pixel_count, slow->pixel_count);
    EXPECT_EQ(std::memcmp(fast->framebuffer, slow->framebuffer, 40 * 30 * 4), 0);
}
