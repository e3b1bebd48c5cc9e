// Tests of the homogeneous polygon clipper: planes, axes, whole triangles and the fan the polygon is drawn as.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "collections/vertex_lists.h"
#include "raster/clip.h"

namespace {

vertex_t corner(float x, float y, float z, float w) { return vertex_t(vec4_t(x, y, z, w)); }

std::vector<vertex_t> elements(const ktList<vertex_t>& list) {
    std::vector<vertex_t> out;
    list.toArray(out);
    return out;
}

void expect_same_vertex(const vertex_t& got, const vertex_t& want, int index) {
    const vec4_t* g[] = {&got.position, &got.colour, &got.normal, &got.texcoord};
    const vec4_t* w[] = {&want.position, &want.colour, &want.normal, &want.texcoord};
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(g[m]->x, w[m]->x) << "vertex " << index << " member " << m;
        EXPECT_EQ(g[m]->y, w[m]->y) << "vertex " << index << " member " << m;
        EXPECT_EQ(g[m]->z, w[m]->z) << "vertex " << index << " member " << m;
        EXPECT_EQ(g[m]->w, w[m]->w) << "vertex " << index << " member " << m;
    }
}

void expect_polygon(const ktList<vertex_t>& polygon, const std::vector<vertex_t>& want) {
    const std::vector<vertex_t> got = elements(polygon);
    ASSERT_EQ(got.size(), want.size()) << polygon.toString();
    for (std::size_t i = 0; i < got.size(); ++i) expect_same_vertex(got[i], want[i], static_cast<int>(i));
}

void expect_position(const vertex_t& v, float x, float y, float z, float w) {
    EXPECT_EQ(v.position.x, x);
    EXPECT_EQ(v.position.y, y);
    EXPECT_EQ(v.position.z, z);
    EXPECT_EQ(v.position.w, w);
}

// The polygon's vertices lie in the clip volume, up to the rounding of the crossing vertices,
// and, seen on the screen (x / w, y / w), turn the same way at every corner.
void expect_clipped_and_convex(const ktList<vertex_t>& polygon) {
    const std::vector<vertex_t> v = elements(polygon);
    ASSERT_GE(v.size(), 3u);
    ASSERT_LE(v.size(), 9u);
    for (const vertex_t& p : v) {
        const float w = p.position.w;
        const float slack = 1.0e-5f * std::fabs(w) + 1.0e-6f;
        EXPECT_GE(w, -slack);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_LE(std::fabs(p.component(axis)), w + slack) << "axis " << axis << " of" << to_string(p);
        }
    }
    int positive = 0;
    int negative = 0;
    const std::size_t n = v.size();
    for (std::size_t i = 0; i < n; ++i) {
        const vertex_t& a = v[i];
        const vertex_t& b = v[(i + 1) % n];
        const vertex_t& c = v[(i + 2) % n];
        if (a.position.w <= 0 || b.position.w <= 0 || c.position.w <= 0) continue;
        const double ax = a.position.x / a.position.w, ay = a.position.y / a.position.w;
        const double bx = b.position.x / b.position.w, by = b.position.y / b.position.w;
        const double cx = c.position.x / c.position.w, cy = c.position.y / c.position.w;
        const double turn = (bx - ax) * (cy - by) - (by - ay) * (cx - bx);
        if (turn > 1.0e-9) ++positive;
        if (turn < -1.0e-9) ++negative;
    }
    EXPECT_TRUE(positive == 0 || negative == 0) << "not convex: " << polygon.toString();
}

}  // namespace

TEST(ClipPolygon, TriangleStrictlyInsideComesOutUnchangedAndInOrder) {
    const vertex_t c1(vec4_t(-0.5f, 0.25f, 0.75f, 1), vec4_t(1, 0, 0, 0.5f), vec4_t(0, 0, 1, 0), vec4_t(0.1f, 0.2f, 0, 0));
    const vertex_t c2(vec4_t(3, -2, 1, 4), vec4_t(0, 1, 0, 1), vec4_t(0, 1, 0, 0), vec4_t(0.9f, 0.8f, 0, 0));
    const vertex_t c3(vec4_t(0.001f, 0.999f, -0.999f, 1), vec4_t(0, 0, 1, 1));
    ktList<vertex_t> polygon;
    polygon.add(corner(7, 7, 7, 7));  // whatever the list held before is replaced
    ASSERT_TRUE(clip_triangle(c1, c2, c3, polygon));
    expect_polygon(polygon, {c1, c2, c3});

    // A corner exactly on a plane, with no neighbour outside, changes nothing either.
    const vertex_t on_planes = corner(-1, 0.5f, 1, 1);
    ASSERT_TRUE(clip_triangle(c1, on_planes, c3, polygon));
    expect_polygon(polygon, {c1, on_planes, c3});
}

TEST(ClipPolygon, TriangleWhollyOutsideAnyPlaneVanishesAtThatPlane) {
    struct case_t {
        int axis;
        float sign;
    };
    for (const case_t plane : {case_t{0, 1}, case_t{0, -1}, case_t{1, 1}, case_t{1, -1}, case_t{2, 1}, case_t{2, -1}}) {
        SCOPED_TRACE(testing::Message() << "axis " << plane.axis << " sign " << plane.sign);
        // Inside every other plane; beyond this one by 2w, 1.5w and just over w.
        vertex_t c[3] = {corner(0.1f, 0.2f, 0.3f, 1), corner(-0.2f, 0.1f, 0, 2), corner(0.3f, -0.1f, 0.2f, 1)};
        const float beyond[3] = {2.0f, 1.5f, 1.0001f};
        for (int i = 0; i < 3; ++i) {
            float* component = plane.axis == 0 ? &c[i].position.x : plane.axis == 1 ? &c[i].position.y : &c[i].position.z;
            *component = plane.sign * beyond[i] * c[i].position.w;
        }
        ktList<vertex_t> working;
        ktList<vertex_t> scratch;
        for (const vertex_t& v : c) working.add(v);
        for (int axis = 0; axis < plane.axis; ++axis) {
            ASSERT_TRUE(clip_against_axis(working, scratch, axis));
            expect_polygon(working, {c[0], c[1], c[2]});
        }
        EXPECT_FALSE(clip_against_axis(working, scratch, plane.axis));
        EXPECT_TRUE(working.isEmpty());
        EXPECT_TRUE(scratch.isEmpty());

        ktList<vertex_t> destination;
        working.add(c[0]);
        working.add(c[1]);
        working.add(c[2]);
        clip_against_plane(working, plane.axis, plane.sign, destination);
        EXPECT_TRUE(destination.isEmpty());
        EXPECT_EQ(working.size(), 3);  // the source is left alone

        ktList<vertex_t> polygon;
        EXPECT_FALSE(clip_triangle(c[0], c[1], c[2], polygon));
        EXPECT_TRUE(polygon.isEmpty());
    }
}

TEST(ClipPolygon, CornerOnThePlaneCountsAsInsideAndRepeatsAtItsCrossing) {
    const vertex_t on(vec4_t(1, 0, 0, 1), vec4_t(0.25f, 0.5f, 0.75f, 1), vec4_t(0, 0, 1, 0), vec4_t(0.5f, 0.5f, 0, 0));
    const vertex_t out(vec4_t(2, 1, 0, 1), vec4_t(1, 1, 1, 1));
    const vertex_t in(vec4_t(0, 0.5f, 0, 1), vec4_t(0, 0, 0, 1));

    // inside -> on -> outside: the edge leaving the plane crosses it at t = 0, on the corner.
    ktList<vertex_t> source;
    source.add(on);
    source.add(out);
    source.add(in);
    ktList<vertex_t> clipped;
    clip_against_plane(source, 0, 1.0f, clipped);
    std::vector<vertex_t> v = elements(clipped);
    ASSERT_EQ(v.size(), 4u) << clipped.toString();
    expect_same_vertex(v[0], on, 0);
    expect_same_vertex(v[1], on, 1);  // lerp at t = 0 is the corner, every member
    expect_position(v[2], 1, 0.75f, 0, 1);
    expect_same_vertex(v[3], in, 3);

    // outside -> on: the crossing falls at t = 1, again on the corner.
    source.clear();
    source.add(out);
    source.add(on);
    source.add(in);
    clipped.clear();
    clip_against_plane(source, 0, 1.0f, clipped);
    v = elements(clipped);
    ASSERT_EQ(v.size(), 4u) << clipped.toString();
    expect_position(v[0], 1, 0.75f, 0, 1);  // from the edge in -> out
    expect_same_vertex(v[1], on, 1);
    expect_same_vertex(v[2], on, 2);
    expect_same_vertex(v[3], in, 3);

    // The same holds for the negative plane of another axis, w other than 1.
    ktList<vertex_t> polygon;
    ASSERT_TRUE(clip_triangle(corner(0, -2, 0, 2), corner(0.5f, -6, 0, 2), corner(1, 0, 0, 2), polygon));
    v = elements(polygon);
    ASSERT_EQ(v.size(), 4u) << polygon.toString();
    expect_position(v[0], 0, -2, 0, 2);
    expect_position(v[1], 0, -2, 0, 2);
}

TEST(ClipPolygon, QuadrilateralFromTheOutsideCornerWithEveryMemberAveraged) {
    const vertex_t a(vec4_t(0, 0, 0, 1), vec4_t(1, 0, 0, 1), vec4_t(0, 0, 1, 0), vec4_t(0, 0, 0.5f, 1));
    const vertex_t b(vec4_t(2, 0, 0, 1), vec4_t(0, 1, 0, 0.5f), vec4_t(1, 0, 0, 0), vec4_t(1, 0, 0, 0));
    const vertex_t c(vec4_t(0, 0.5f, 0, 1), vec4_t(0, 0, 1, 0), vec4_t(0, 1, 0, 0), vec4_t(0, 1, 0.25f, 0.5f));
    const vertex_t ab(vec4_t(1, 0, 0, 1), vec4_t(0.5f, 0.5f, 0, 0.75f), vec4_t(0.5f, 0, 0.5f, 0), vec4_t(0.5f, 0, 0.25f, 0.5f));
    const vertex_t bc(vec4_t(1, 0.25f, 0, 1), vec4_t(0, 0.5f, 0.5f, 0.25f), vec4_t(0.5f, 0.5f, 0, 0), vec4_t(0.5f, 0.5f, 0.125f, 0.25f));

    ktList<vertex_t> source;
    source.add(a);
    source.add(b);
    source.add(c);
    ktList<vertex_t> clipped;
    clip_against_plane(source, 0, 1.0f, clipped);
    expect_polygon(clipped, {a, ab, bc, c});
    expect_polygon(source, {a, b, c});

    // No other plane cuts it, and its fan covers it with two triangles.
    ktList<vertex_t> polygon;
    ASSERT_TRUE(clip_triangle(a, b, c, polygon));
    expect_polygon(polygon, {a, ab, bc, c});
    std::vector<vertex_t> fan;
    for_each_fan_triangle(polygon, [&](const vertex_t& p, const vertex_t& q, const vertex_t& r) {
        fan.insert(fan.end(), {p, q, r});
    });
    ASSERT_EQ(fan.size(), 6u);
    const vertex_t want[] = {a, ab, bc, a, bc, c};
    for (int i = 0; i < 6; ++i) expect_same_vertex(fan[static_cast<std::size_t>(i)], want[i], i);
}

TEST(ClipPolygon, TriangleCrossingManyPlanesBecomesAConvexPolygonInsideTheVolume) {
    ktList<vertex_t> polygon;
    // Its corners lie beyond all six planes between them: nine vertices, the most a triangle can give.
    ASSERT_TRUE(clip_triangle(corner(-0.25f, -2.25f, 0.5f, 1), corner(-2, 0.75f, -2, 1), corner(2.5f, 1.5f, 1.75f, 1),
                              polygon));
    EXPECT_EQ(polygon.size(), 9);
    expect_clipped_and_convex(polygon);

    // Crossing the near plane with a corner behind the camera.
    ASSERT_TRUE(clip_triangle(corner(-0.5f, -0.5f, 0.5f, 1), corner(0.5f, -0.5f, 0.5f, 1), corner(0, 2, -3, -1), polygon));
    expect_clipped_and_convex(polygon);

    // A seeded sweep over triangles of every kind: each either vanishes or comes out convex,
    // inside the volume, with three to nine vertices; strictly inside ones come out unchanged.
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<float> coordinate(-3.0f, 3.0f);
    std::uniform_real_distribution<float> depth(-1.0f, 3.0f);
    int vanished = 0, cut = 0, untouched = 0;
    for (int i = 0; i < 3000; ++i) {
        vertex_t c[3];
        bool all_strictly_inside = true;
        for (vertex_t& v : c) {
            const float w = depth(rng);
            v = corner(coordinate(rng), coordinate(rng), coordinate(rng), w);
            for (int axis = 0; axis < 3; ++axis) all_strictly_inside &= std::fabs(v.component(axis)) < w;
        }
        if (!clip_triangle(c[0], c[1], c[2], polygon)) {
            ++vanished;
            EXPECT_FALSE(all_strictly_inside);
            EXPECT_TRUE(polygon.isEmpty());
            continue;
        }
        if (all_strictly_inside) {
            ++untouched;
            expect_polygon(polygon, {c[0], c[1], c[2]});
        } else {
            ++cut;
        }
        expect_clipped_and_convex(polygon);
        if (testing::Test::HasFailure()) {
            ADD_FAILURE() << "triangle " << i << ":" << to_string(c[0]) << "," << to_string(c[1]) << "," << to_string(c[2]);
            break;
        }
    }
    EXPECT_GT(vanished, 0);
    EXPECT_GT(cut, 0);
    EXPECT_GT(untouched, 0);
}

TEST(ClipPolygon, FanCoversEveryVertexAroundTheFirst) {
    ktList<vertex_t> polygon;
    std::vector<std::vector<float>> triangles;
    const auto record = [&](const vertex_t& p, const vertex_t& q, const vertex_t& r) {
        triangles.push_back({p.position.x, q.position.x, r.position.x});
    };
    for_each_fan_triangle(polygon, record);
    polygon.add(corner(0, 0, 0, 1));
    polygon.add(corner(1, 0, 0, 1));
    for_each_fan_triangle(polygon, record);
    EXPECT_TRUE(triangles.empty());  // fewer than three vertices: nothing to draw

    polygon.add(corner(2, 0, 0, 1));
    for_each_fan_triangle(polygon, record);
    EXPECT_EQ(triangles, (std::vector<std::vector<float>>{{0, 1, 2}}));

    triangles.clear();
    for (int k = 3; k < 9; ++k) polygon.add(corner(static_cast<float>(k), 0, 0, 1));
    for_each_fan_triangle(polygon, record);
    ASSERT_EQ(triangles.size(), 7u);
    for (std::size_t k = 0; k < 7; ++k) {
        EXPECT_EQ(triangles[k], (std::vector<float>{0, static_cast<float>(k + 1), static_cast<float>(k + 2)}));
    }
}

TEST(ClipPolygon, DegenerateListsAreHandledWithoutHarm) {
    ktList<vertex_t> empty;
    ktList<vertex_t> destination;
    clip_against_plane(empty, 0, 1.0f, destination);
    EXPECT_TRUE(destination.isEmpty());

    // Clipping a list into itself appends the clipped polygon to what it held, and ends.
    ktList<vertex_t> list;
    list.add(corner(0, 0, 0, 1));
    list.add(corner(2, 0, 0, 1));
    list.add(corner(0, 0.5f, 0, 1));
    clip_against_plane(list, 0, 1.0f, list);
    const std::vector<vertex_t> v = elements(list);
    ASSERT_EQ(v.size(), 7u);
    expect_position(v[3], 0, 0, 0, 1);
    expect_position(v[4], 1, 0, 0, 1);

    // An axis outside 0..2 reads component 0: every vertex is then inside while w >= 0.
    ktList<vertex_t> scratch;
    ktList<vertex_t> working;
    working.add(corner(5, 5, 5, 1));
    working.add(corner(6, 5, 5, 1));
    working.add(corner(5, 6, 5, 1));
    EXPECT_TRUE(clip_against_axis(working, scratch, 7));
    EXPECT_EQ(working.size(), 3);
}
