// The homogeneous polygon clipper, clip_and_draw and draw_if_inside, with a regression found by fuzzing.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "collections/vertex_lists.h"
#include "raster/clip.h"
#include "raster/pipeline.h"
#include "raster_fixtures.h"
#include "surfaces/texture.h"

namespace {

const texture_t tex(4, 4, 32);

std::vector<vertex_t> elements(const ktList<vertex_t>& list) {
    std::vector<vertex_t> out;
    list.toArray(out);
    return out;
}

ktList<vertex_t> list_of(std::initializer_list<vertex_t> vertices) {
    ktList<vertex_t> list;
    for (const vertex_t& v : vertices) list.add(v);
    return list;
}

// Every member equal, bit for bit (vertex_t's == compares positions only).
testing::AssertionResult is_polygon(const ktList<vertex_t>& polygon, const std::vector<vertex_t>& want) {
    const std::vector<vertex_t> got = elements(polygon);
    const auto same = [](const vertex_t& a, const vertex_t& b) { return std::memcmp(&a, &b, sizeof(vertex_t)) == 0; };
    return testing::AssertionResult(std::equal(got.begin(), got.end(), want.begin(), want.end(), same))
           << polygon.toString();
}

// Three to nine vertices inside the volume (up to the rounding of the crossings), and on the
// screen (x / w, y / w) turning the same way at every corner.
testing::AssertionResult convex_inside(const ktList<vertex_t>& polygon) {
    const std::vector<vertex_t> v = elements(polygon);
    const size_t n = v.size();
    const auto at = [&](size_t i) {
        return std::pair{double{v[i % n].x()} / v[i % n].w(), double{v[i % n].y()} / v[i % n].w()};
    };
    int turns[2] = {};
    for (size_t i = 0; i < n; ++i) {
        const float w = v[i].w(), largest = std::max({std::fabs(v[i].x()), std::fabs(v[i].y()), std::fabs(v[i].z())});
        if (!(w > 0.0f && largest <= w + 1.0e-5f * w + 1.0e-6f))
            return testing::AssertionFailure() << "outside: " << to_string(v[i]);
        const auto [a, b, c] = std::tuple{at(i), at(i + 1), at(i + 2)};
        const double turn = (b.first - a.first) * (c.second - b.second) - (b.second - a.second) * (c.first - b.first);
        turns[turn > 0.0] += std::fabs(turn) > 1.0e-9;
    }
    if (n < 3 || n > 9 || (turns[0] != 0 && turns[1] != 0)) return testing::AssertionFailure() << polygon.toString();
    return testing::AssertionSuccess();
}

}  // namespace

TEST(ClipPolygon, InsideComesOutUnchangedOutsideAnyPlaneVanishes) {
    const vertex_t c1(vec4_t(-0.5f, 0.25f, 0.75f, 1), vec4_t(1, 0, 0, 0.5f), vec4_t(0, 0, 1, 0),
                      vec4_t(0.1f, 0.2f, 0, 0));
    const vertex_t c2(vec4_t(3, -2, 1, 4), vec4_t(0, 1, 0, 1)), c3 = corner(-1, 0.5f, 1, 1);  // c3 on two planes
    ktList<vertex_t> polygon = list_of({c2});  // whatever the list held is replaced
    ASSERT_TRUE(clip_triangle(c1, c2, c3, polygon));
    EXPECT_TRUE(is_polygon(polygon, {c1, c2, c3}));
    for (int plane = 0; plane < 6; ++plane) {
        SCOPED_TRACE(testing::Message() << "beyond plane " << plane);
        const int axis = plane / 2;
        const float sign = plane % 2 == 0 ? 1.0f : -1.0f;
        // Inside every other plane; beyond this one by 2w, 1.5w and just over w.
        vertex_t c[3] = {corner(0.1f, 0.2f, 0.3f, 1), corner(-0.2f, 0.1f, 0, 2), corner(0.3f, -0.1f, 0.2f, 1)};
        const float beyond[3] = {2.0f, 1.5f, 1.0001f};
        for (int i = 0; i < 3; ++i) {
            vec4_t& p = c[i].position;
            (axis == 0 ? p.x : axis == 1 ? p.y : p.z) = sign * beyond[i] * p.w;
        }
        ktList<vertex_t> source = list_of({c[0], c[1], c[2]}), clipped;
        clip_against_plane(source, axis, sign, clipped);
        EXPECT_TRUE(clipped.isEmpty() && is_polygon(source, {c[0], c[1], c[2]}));  // source untouched
        EXPECT_FALSE(clip_against_axis(source, clipped, axis) || !source.isEmpty() || !clipped.isEmpty());
        EXPECT_FALSE(clip_triangle(c[0], c[1], c[2], polygon) || !polygon.isEmpty());
    }
}

TEST(ClipPolygon, CornerOnAPlaneCountsAsInsideAndRepeatsAtItsCrossing) {
    const vertex_t on(vec4_t(1, 0, 0, 1), vec4_t(0.25f, 0.5f, 0.75f, 1), vec4_t(0, 0, 1, 0), vec4_t(0.5f, 0.5f, 0, 0));
    const vertex_t out(vec4_t(2, 1, 0, 1), vec4_t(1, 1, 1, 1)), in(vec4_t(0, 0.5f, 0, 1), vec4_t(0, 0, 0, 1));
    const vertex_t crossing = lerp(in, out, 0.5f);  // (1, 0.75, 0, 1)
    // Leaving the plane from the corner crosses at t = 0, arriving on it at t = 1: both give the corner.
    ktList<vertex_t> clipped;
    clip_against_plane(list_of({on, out, in}), 0, 1.0f, clipped);
    EXPECT_TRUE(is_polygon(clipped, {on, on, crossing, in}));
    clipped.clear();
    clip_against_plane(list_of({out, on, in}), 0, 1.0f, clipped);
    EXPECT_TRUE(is_polygon(clipped, {crossing, on, on, in}));
}

TEST(ClipPolygon, QuadrilateralExampleWithEveryMemberAveraged) {
    const vertex_t a(vec4_t(0, 0, 0, 1), vec4_t(1, 0, 0, 1), vec4_t(0, 0, 1, 0), vec4_t(0, 0, 0.5f, 1));
    const vertex_t b(vec4_t(2, 0, 0, 1), vec4_t(0, 1, 0, 0.5f), vec4_t(1, 0, 0, 0), vec4_t(1, 0, 0, 0));
    const vertex_t c(vec4_t(0, 0.5f, 0, 1), vec4_t(0, 0, 1, 0), vec4_t(0, 1, 0, 0), vec4_t(0, 1, 0.25f, 0.5f));
    // Both crossings at t = 0.5: every member of each is its edge's average.
    const vertex_t ab(vec4_t(1, 0, 0, 1), vec4_t(0.5f, 0.5f, 0, 0.75f), vec4_t(0.5f, 0, 0.5f, 0),
                      vec4_t(0.5f, 0, 0.25f, 0.5f));
    const vertex_t bc(vec4_t(1, 0.25f, 0, 1), vec4_t(0, 0.5f, 0.5f, 0.25f), vec4_t(0.5f, 0.5f, 0, 0),
                      vec4_t(0.5f, 0.5f, 0.125f, 0.25f));
    ktList<vertex_t> clipped;
    clip_against_plane(list_of({a, b, c}), 0, 1.0f, clipped);
    EXPECT_TRUE(is_polygon(clipped, {a, ab, bc, c}));
    ASSERT_TRUE(clip_triangle(a, b, c, clipped));  // no other plane cuts it
    EXPECT_TRUE(is_polygon(clipped, {a, ab, bc, c}));
    // Clipping a list into itself appends the clipped polygon to what it held, and ends.
    ktList<vertex_t> self = list_of({a, b, c});
    clip_against_plane(self, 0, 1.0f, self);
    EXPECT_TRUE(is_polygon(self, {a, b, c, a, ab, bc, c}));
    // t is rounded to single before the lerp: 1/3 of the way from 0 to 7 is 7 * 0.33333334f, not 7/3 rounded.
    clipped.clear();
    clip_against_plane(list_of({corner(0, 0, 0, 1, {0, 0, 0, 0}), corner(3, 0, 0, 1, {7, 7, 7, 7}), corner(0, 1)}), 0,
                       1.0f, clipped);
    EXPECT_EQ(elements(clipped).at(1).colour.x, 0x1.2aaaacp+1f);
}

TEST(ClipPolygon, CrossingManyPlanesGivesAConvexPolygonInsideTheVolume) {
    ktList<vertex_t> polygon;
    // Beyond all six planes between them: nine vertices, the most a triangle can give.
    ASSERT_TRUE(clip_triangle(corner(-0.25f, -2.25f, 0.5f), corner(-2, 0.75f, -2), corner(2.5f, 1.5f, 1.75f), polygon));
    EXPECT_EQ(polygon.size(), 9);
    EXPECT_TRUE(convex_inside(polygon));
    // Across the near plane, a corner behind the camera.
    ASSERT_TRUE(clip_triangle(corner(-0.5f, -0.5f), corner(0.5f, -0.5f), corner(0, 2, -3, -1), polygon));
    EXPECT_TRUE(convex_inside(polygon));

    // Triangles of every kind either vanish or come out convex and inside.
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<float> coordinate(-3.0f, 3.0f), depth(-1.0f, 3.0f);
    for (int i = 0; i < 3000; ++i) {
        vertex_t c[3];
        for (vertex_t& v : c) v = vertex_t(vec4_t(coordinate(rng), coordinate(rng), coordinate(rng), depth(rng)));
        ASSERT_TRUE(clip_triangle(c[0], c[1], c[2], polygon) ? convex_inside(polygon)
                                                             : testing::AssertionResult(polygon.isEmpty()))
            << "random triangle " << i;
    }
}

TEST(ClipAndDraw, PartlyVisibleTriangleIsDrawnWholeAsAFan) {
    // Clockwise on the screen and covering the whole view: drawn without holes as the fan of
    // the clipped polygon, every piece kept by the culling; its mirror image is culled whole.
    const vertex_t big[3] = {corner(-4, -4, 0), corner(-4, 8, 0), corner(8, -4, 0)};
    ktList<vertex_t> polygon;
    ASSERT_TRUE(clip_triangle(big[0], big[1], big[2], polygon));
    ASSERT_GE(polygon.size(), 4);
    auto fan = blank_screen(64, 48), mirror = blank_screen(64, 48);
    fan->cull_backfaces = mirror->cull_backfaces = 1;
    clip_and_draw(*fan, big[0], big[1], big[2], tex);
    clip_and_draw(*mirror, big[0], big[2], big[1], tex);
    EXPECT_EQ(fan->triangle_count, static_cast<uint32_t>(polygon.size() - 2));
    EXPECT_EQ(mirror->triangle_count, 0u);
    for (uint32_t y = 0; y < 48; ++y) {
        for (uint32_t x = 0; x < 64; ++x) ASSERT_TRUE(covered(*fan, x, y)) << x << "," << y;
    }
}

TEST(ClipAndDraw, SamePictureAsTheListRouteOnAndAroundThePlanes) {
    // clip_and_draw hands a triangle inside every plane straight on; the list route (the
    // polygon clipper and its fan) must give the same pixels, depths and counters for every
    // triangle, those with corners exactly on a plane, at -0, with NaN or w <= 0 included.
    std::mt19937 rng(8);
    const auto coordinate = [&](float w) {
        const float special[] = {w, -w, 0.0f, -0.0f, std::nextafter(w, 2.0f * w), NAN};
        return rng() % 6 == 0 ? special[rng() % 6] : std::uniform_real_distribution<float>(-1.2f, 1.2f)(rng) * w;
    };
    auto fast = blank_screen(64, 48), slow = blank_screen(64, 48);
    for (int n = 0; n < 4000; ++n) {
        SCOPED_TRACE(testing::Message() << "triangle " << n);
        vertex_t c[3];
        for (vertex_t& v : c) {
            const float w = rng() % 20 == 0 ? -0.5f : std::uniform_real_distribution<float>(0.5f, 2.0f)(rng);
            v = corner(coordinate(w), coordinate(w), coordinate(w), w,
                       vec4_t(0.1f * static_cast<float>(rng() % 10), 0.5f, 0.25f, 0.5f));
        }
        clip_and_draw(*fast, c[0], c[1], c[2], tex);
        ktList<vertex_t> polygon;
        if (clip_triangle(c[0], c[1], c[2], polygon)) {
            for_each_fan_triangle(polygon, [&](const vertex_t& a, const vertex_t& b, const vertex_t& d) {
                draw_triangle(*slow, a, b, d, tex);
            });
        }
        ASSERT_TRUE(same_picture(*fast, *slow));
    }
    EXPECT_GT(fast->triangle_count, 1000u);
}

TEST(ClipAndDraw, NearPlaneAndBehindTheCamera) {
    // Across the near plane: the visible part spans screen y -0.5 .. 0.4 (rows 14 to 35). Drawn
    // straight, the corner behind the camera would be mirrored and pull the triangle downwards.
    const vertex_t n1 = corner(-0.5f, -0.5f), n2 = corner(0.5f, -0.5f), n3 = corner(0, 2, -3, -1);
    auto frame = blank_screen(64, 48);
    clip_and_draw(*frame, n1, n2, n3, tex);
    EXPECT_TRUE(covered(*frame, 32, 15) && covered(*frame, 32, 35));
    for (uint32_t y = 0; y < 48; ++y) {
        for (uint32_t x = 0; x < 64; ++x) EXPECT_TRUE((y >= 14 && y <= 35) || !covered(*frame, x, y)) << x << "," << y;
    }

    // Small x, y, z and negative w: outside every plane's "<= w" but inside draw_if_inside's |w|.
    const vertex_t b1 = corner(0.5f, 0, 0, -1), b2 = corner(0, 0.5f, 0.1f, -1), b3 = corner(-0.5f, -0.5f, 0.2f, -2);
    auto clipped = blank_screen(64, 48), direct = blank_screen(64, 48), filtered = blank_screen(64, 48);
    clip_and_draw(*clipped, b1, b2, b3, tex);
    draw_triangle(*direct, b1, b2, b3, tex);
    draw_if_inside(*filtered, b1, b2, b3, tex);
    EXPECT_EQ(clipped->triangle_count, 0u);
    EXPECT_TRUE(filtered->triangle_count == 1 && same_picture(*filtered, *direct));

    // draw_if_inside takes corners on the boundary and drops the triangle for any corner outside.
    const vertex_t in[3] = {corner(-1, -1, -1), corner(1, -1, 1), corner(0, 1, 0)};
    for (const vertex_t& out : {corner(1.0001f, 0, 0), corner(0, -2, 0), corner(0, 0, 1.5f, -1)}) {
        SCOPED_TRACE("corner outside at " + to_string(out));
        auto s = blank_screen(8, 8);
        draw_if_inside(*s, out, in[1], in[2], tex);
        draw_if_inside(*s, in[0], out, in[2], tex);
        draw_if_inside(*s, in[0], in[1], out, tex);
        EXPECT_EQ(s->triangle_count, 0u);
        draw_if_inside(*s, in[0], in[1], in[2], tex);
        EXPECT_EQ(s->triangle_count, 1u);
    }
}

// Found by fuzzing: tiny and huge coordinates, a subnormal y and negative w's round the crossing
// points far from the planes, so the polygon is not quite convex and one plane cuts it more than
// twice. The clipper must neither loop nor lose its bound, and every fan triangle must keep its
// writes inside the 13 x 9 target (AddressSanitizer watches the buffers).
TEST(RegressionClipFan, NearlyDegenerateTriangleGivesTenCornersAndEightBoundedTriangles) {
    const auto bits = [](uint32_t x, uint32_t y, uint32_t z, uint32_t w) {
        return vertex_t(
            vec4_t(std::bit_cast<float>(x), std::bit_cast<float>(y), std::bit_cast<float>(z), std::bit_cast<float>(w)));
    };
    const vertex_t c1 = bits(0xC0000000, 0x00080000, 0x00000000, 0x62676700);
    const vertex_t c2 = bits(0xB6B6B649, 0xB6B6B6B6, 0x4AB6B6B6, 0xB63F4949);
    const vertex_t c3 = bits(0x82003F00, 0x82828282, 0x82828282, 0x82828282);
    ktList<vertex_t> polygon;
    ASSERT_TRUE(clip_triangle(c1, c2, c3, polygon));
    EXPECT_EQ(polygon.size(), 10);
    const texture_t texture(5, 3, 32);
    for (int mode = 0; mode < 8; ++mode) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        auto s = blank_screen(13, 9);
        set_mode(*s, mode);
        clip_and_draw(*s, c1, c2, c3, texture);
        EXPECT_TRUE(mode < 4 ? s->triangle_count == 8u : s->triangle_count <= 8u);  // culling may drop pieces
        EXPECT_LE(s->pixel_count, 8u * 13 * 9);
    }
}
