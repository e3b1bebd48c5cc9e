// Tests of vertex_t: member defaults, indexed position, and the transform, divide, lerp, area, inside, equality and
// text rules.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>

#include "geometry/vertex.h"
#include "math/mat4.h"

namespace {
using floats = std::vector<float>;
floats cat(std::initializer_list<vec4_t> members) {
    floats out;
    for (const vec4_t& m : members) out.insert(out.end(), {m.x, m.y, m.z, m.w});
    return out;
}
// All sixteen components, member by member.
floats all(const vertex_t& v) { return cat({v.position, v.colour, v.normal, v.texcoord}); }
const vec4_t p(1, 2, 3, 4), c(0.5f, 0.25f, 0.125f, 0.75f), n(1, -1, -1, 0), t(0.5f, 0.5f, 7, 9), zero(0, 0, 0, 0);
const float r = 0.577350259f;  // (1, -1, -1, 0) normalised, to single precision
}  // namespace

TEST(Vertex, DefaultsAndIndexedPosition) {
    EXPECT_EQ(all(vertex_t()), cat({{0, 0, 0, 1}, {1, 1, 1, 1}, zero, zero}));
    EXPECT_EQ(all(vertex_t(p)), cat({p, {1, 1, 1, 1}, zero, zero}));
    EXPECT_EQ(all(vertex_t(p, c, n)), cat({p, c, n, zero}));
    const vertex_t v(p);
    EXPECT_EQ((floats{v.component(-1), v.component(0), v.component(1), v.component(2), v.component(3), v.component(4)}),
              (floats{0, 1, 2, 3, 4, 0}));
}

TEST(Vertex, TransformDivideAndLerp) {
    mat4_t m;
    // The position is multiplied; the normal is only normalised, never turned or scaled.
    EXPECT_EQ(all(transform(vertex_t(p, c, n, t), m.identity())), cat({p, c, {r, -r, -r, 0}, t}));
    EXPECT_EQ(all(transform(vertex_t(p, c, n, t), m.scale(2, 3, 4))), cat({{2, 6, 12, 4}, c, {r, -r, -r, 0}, t}));
    EXPECT_EQ(all(transform(vertex_t(p), m.identity())), all(vertex_t(p)));  // a zero normal stays zero
    EXPECT_EQ(all(perspective_divide(vertex_t({2, 4, 6, 2}, c, n, t))), cat({{1, 2, 3, 2}, c, n, t}));
    const vertex_t z = perspective_divide(vertex_t(vec4_t(1, -1, 0, 0)));  // no guard for w = 0
    EXPECT_TRUE(z.x() == std::numeric_limits<float>::infinity() && z.y() == -z.x() && std::isnan(z.z()) && z.w() == 0);
    const vertex_t a({0, 0, 0, 1}, zero, {0, 0, 2, 0}, zero), b({2, 4, 6, 3}, {1, 1, 1, 1}, {2, 0, 0, 4}, {1, 2, 3, 4});
    EXPECT_EQ(all(lerp(a, b, 0.5f)), cat({{1, 2, 3, 2}, {0.5, 0.5, 0.5, 0.5}, {1, 0, 1, 2}, {0.5, 1, 1.5, 2}}));
    EXPECT_EQ(all(lerp(a, b, 0)), all(a));
    EXPECT_EQ(all(lerp(a, b, 1)), all(b));
}

TEST(Vertex, AreaInsideEqualityAndText) {
    const vertex_t o(vec4_t(0, 0, 5)), right(vec4_t(10, 0, 1)), down(vec4_t(0, 10, 2)), diagonal(vec4_t(1, 1, 0));
    // Clockwise on the screen (y grows downwards) is positive.
    EXPECT_EQ((floats{doubled_signed_area(o, right, down), doubled_signed_area(o, down, right),
                      doubled_signed_area(o, diagonal, vertex_t(vec4_t(2, 2, 0)))}),
              (floats{100, -100, 0}));
    for (const vec4_t& in : {vec4_t(1, -1, 1, 1), vec4_t(0.5f, 0, 0, -1), zero})
        EXPECT_TRUE(is_inside(vertex_t(in))) << to_string(vertex_t(in));
    for (const vec4_t& out :
         {vec4_t(1.0001f, 0, 0, 1), vec4_t(0, -1.0001f, 0, 1), vec4_t(0, 0, -1.0001f, 1), vec4_t(NAN, 0, 0, 1)})
        EXPECT_FALSE(is_inside(vertex_t(out))) << to_string(vertex_t(out));
    EXPECT_TRUE(vertex_t(p, c, n, t) == vertex_t(p));  // colour, normal and texcoord are not compared
    for (const vec4_t& q : {vec4_t(0, 2, 3, 4), vec4_t(1, 0, 3, 4), vec4_t(1, 2, 0, 4), vec4_t(1, 2, 3, 0)})
        EXPECT_FALSE(vertex_t(p) == vertex_t(q)) << to_string(vertex_t(q));
    EXPECT_EQ(to_string(vertex_t(vec4_t(1, -2.5f, 0.1f, 1), c, n, t)), " 1 -2.5 0.1 1");
}
