// Tests of vertex_t: defaults, constructors, accessors and every operation the pipeline applies to vertices.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/vertex.h"
#include "math/mat4.h"

namespace {

void expect_vec(const vec4_t& v, float x, float y, float z, float w) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
    EXPECT_EQ(v.w, w);
}

const vec4_t p(1, 2, 3, 4);
const vec4_t c(0.5f, 0.25f, 0.125f, 0.75f);
const vec4_t n(1, -1, -1, 0);
const vec4_t t(0.5f, 0.5f, 7, 9);

}  // namespace

TEST(VertexConstruction, DefaultsFillUngivenMembers) {
    for (const vertex_t& d : {vertex_t(), vertex_t(p)}) {
        expect_vec(d.colour, 1, 1, 1, 1);
        expect_vec(d.normal, 0, 0, 0, 0);
        expect_vec(d.texcoord, 0, 0, 0, 0);
    }
    expect_vec(vertex_t().position, 0, 0, 0, 1);
    expect_vec(vertex_t(p).position, 1, 2, 3, 4);
    expect_vec(vertex_t(p, c).colour, 0.5f, 0.25f, 0.125f, 0.75f);
    expect_vec(vertex_t(p, c).normal, 0, 0, 0, 0);
    expect_vec(vertex_t(p, c, n).normal, 1, -1, -1, 0);
    expect_vec(vertex_t(p, c, n).texcoord, 0, 0, 0, 0);
    expect_vec(vertex_t(p, c, n, t).texcoord, 0.5f, 0.5f, 7, 9);
}

TEST(VertexAccessors, PositionComponentsAndIndex) {
    const vertex_t v(p);
    EXPECT_EQ(v.x(), 1);
    EXPECT_EQ(v.y(), 2);
    EXPECT_EQ(v.z(), 3);
    EXPECT_EQ(v.w(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(v.component(i), static_cast<float>(i + 1));
    EXPECT_EQ(v.component(4), 0);
    EXPECT_EQ(v.component(-1), 0);
}

TEST(VertexTransform, PositionMultipliedNormalOnlyNormalised) {
    mat4_t m;
    const vertex_t v(p, c, n, t);
    const vertex_t same = transform(v, m.identity());
    expect_vec(same.position, 1, 2, 3, 4);
    expect_vec(same.colour, 0.5f, 0.25f, 0.125f, 0.75f);
    expect_vec(same.normal, 0.577350259f, -0.577350259f, -0.577350259f, 0);
    expect_vec(same.texcoord, 0.5f, 0.5f, 7, 9);

    // The normal does not turn or scale with the matrix.
    const vertex_t moved = transform(v, m.scale(2, 3, 4));
    expect_vec(moved.position, 2, 6, 12, 4);
    expect_vec(moved.normal, 0.577350259f, -0.577350259f, -0.577350259f, 0);

    expect_vec(transform(vertex_t(p), m.identity()).normal, 0, 0, 0, 0);
}

TEST(VertexPerspectiveDivide, KeepsWAndOtherMembers) {
    const vertex_t d = perspective_divide(vertex_t(vec4_t(2, 4, 6, 2), c, n, t));
    expect_vec(d.position, 1, 2, 3, 2);
    expect_vec(d.colour, 0.5f, 0.25f, 0.125f, 0.75f);
    expect_vec(d.normal, 1, -1, -1, 0);
    expect_vec(d.texcoord, 0.5f, 0.5f, 7, 9);

    const vertex_t z = perspective_divide(vertex_t(vec4_t(1, -1, 0, 0)));
    EXPECT_EQ(z.x(), std::numeric_limits<float>::infinity());
    EXPECT_EQ(z.y(), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(z.z()));
    EXPECT_EQ(z.w(), 0);
}

TEST(VertexLerp, EveryComponentOfEveryMember) {
    const vertex_t a(vec4_t(0, 0, 0, 1), vec4_t(0, 0, 0, 0), vec4_t(0, 0, 2, 0), vec4_t(0, 0, 0, 0));
    const vertex_t b(vec4_t(2, 4, 6, 3), vec4_t(1, 1, 1, 1), vec4_t(2, 0, 0, 4), vec4_t(1, 2, 3, 4));
    const vertex_t mid = lerp(a, b, 0.5f);
    expect_vec(mid.position, 1, 2, 3, 2);
    expect_vec(mid.colour, 0.5f, 0.5f, 0.5f, 0.5f);
    expect_vec(mid.normal, 1, 0, 1, 2);
    expect_vec(mid.texcoord, 0.5f, 1, 1.5f, 2);
    expect_vec(lerp(a, b, 0).normal, 0, 0, 2, 0);
    expect_vec(lerp(a, b, 1).texcoord, 1, 2, 3, 4);
}

TEST(VertexSignedArea, SignFollowsScreenWinding) {
    const vertex_t o(vec4_t(0, 0, 5));
    const vertex_t right(vec4_t(10, 0, 1));
    const vertex_t down(vec4_t(0, 10, 2));
    EXPECT_EQ(doubled_signed_area(o, right, down), 100);
    EXPECT_EQ(doubled_signed_area(o, down, right), -100);
    EXPECT_EQ(doubled_signed_area(o, vertex_t(vec4_t(1, 1, 0)), vertex_t(vec4_t(2, 2, 0))), 0);
    // Nearly collinear: the single products would both be 16785408, the true value is 1.
    EXPECT_EQ(doubled_signed_area(o, vertex_t(vec4_t(4097, 4096, 0)), vertex_t(vec4_t(4098, 4097, 0))), 1);
}

TEST(VertexInside, InclusiveAgainstMagnitudeOfW) {
    EXPECT_TRUE(is_inside(vertex_t(vec4_t(1, -1, 1, 1))));
    EXPECT_FALSE(is_inside(vertex_t(vec4_t(1.0001f, 0, 0, 1))));
    EXPECT_FALSE(is_inside(vertex_t(vec4_t(0, 0, -1.0001f, 1))));
    EXPECT_TRUE(is_inside(vertex_t(vec4_t(0.5f, 0, 0, -1))));
    EXPECT_TRUE(is_inside(vertex_t(vec4_t(0, 0, 0, 0))));
    EXPECT_FALSE(is_inside(vertex_t(vec4_t(std::nanf(""), 0, 0, 1))));
}

TEST(VertexEquality, PositionOnly) {
    EXPECT_TRUE(vertex_t(p, c, n, t) == vertex_t(p));
    EXPECT_FALSE(vertex_t(p) == vertex_t(vec4_t(1, 2, 3, 5)));
    EXPECT_FALSE(vertex_t(p) == vertex_t(vec4_t(1, 2, 4, 4)));
    EXPECT_TRUE(vertex_t(vec4_t(0.0f, 0, 0)) == vertex_t(vec4_t(-0.0f, 0, 0)));
}

TEST(VertexText, PositionOnly) {
    EXPECT_EQ(to_string(vertex_t(vec4_t(1, -2.5f, 0.1f, 1), c, n, t)), " 1 -2.5 0.1 1");
    EXPECT_EQ(to_string(vertex_t()), " 0 0 0 1");
}
