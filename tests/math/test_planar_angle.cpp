// Tests of the planar heading, direction, turn and rotation operations on vec2_t, vec3_t and vec4_t.
#include <gtest/gtest.h>

#include <cmath>

#include "math/vec2.h"
#include "math/vec3.h"
#include "math/vec4.h"
#include "vector_expectations.h"

namespace {

// Single-precision pi / 2 and its cosine: neither is exact, and the results below carry
// those roundings rather than clean zeros.
constexpr float half_pi = 1.57079637f;
constexpr float cos_half_pi = -4.37113883e-08f;

}  // namespace

TEST(PlanarHeading, MeasuredFromPlusYTowardsPlusX) {
    EXPECT_EQ(heading(vec2_t(0, 1)), 0);
    EXPECT_EQ(heading(vec2_t(1, 0)), half_pi);
    EXPECT_EQ(heading(vec3_t(0, -1, 5)), 3.14159274f);
    EXPECT_EQ(heading(vec4_t(-1, 0, 5, 5)), -half_pi);

    EXPECT_EQ(heading_degrees(vec2_t(1, 0)), 90);
    EXPECT_EQ(heading_degrees(vec3_t(0, -1, 0)), 180);
    EXPECT_EQ(heading_degrees(vec4_t(-1, 1, 0, 0)), -45);

    // Not wrapped into 0..2pi.
    EXPECT_EQ(heading_to(vec2_t(1, 1), vec2_t(2, 2)), 0.785398185f);
    EXPECT_EQ(heading_to(vec3_t(1, 1, 0), vec3_t(0, 0, 0)), -2.3561945f);
}

TEST(PlanarDirectionTo, UnitDirectionAndWrappedAngle) {
    // A coincident point: atan2(0, 0) = 0 gives (sin 0, cos 0).
    expect_vec(direction_to(vec2_t(3, 4), vec2_t(3, 4)), 0, 1);
    // z (and w) stay those of b - a.
    expect_vec(direction_to(vec3_t(1, 2, 3), vec3_t(1, 2, 7)), 0, 1, 4);
    expect_vec(direction_to(vec4_t(0, 0, 0, 1), vec4_t(0, 0, 5, 3)), 0, 1, 5, 2);

    // (-1, 0) has heading -pi/2; wrapped by the single 2pi it becomes 4.71238899, whose
    // cosine is +1.19e-8 where the unwrapped angle would give -4.37e-8.
    expect_vec(direction_to(vec2_t(0, 0), vec2_t(-3, 0)), -1, 1.19248806e-08f);
    expect_vec(direction_to(vec2_t(0, 0), vec2_t(0, 8)), 0, 1);
}

TEST(PlanarSetHeading, WritesFromPlusXKeepingPlanarLength) {
    vec2_t a(3, 4);
    expect_vec(a.set_heading(0), 5, 0);
    expect_vec(a.set_heading(half_pi), 5 * cos_half_pi, 5);

    vec2_t b(0, 2);
    expect_vec(b.set_heading_degrees(90), 2 * cos_half_pi, 2);

    // z and w are neither read for the length nor changed.
    vec3_t c(3, 4, 7);
    expect_vec(c.set_heading(0), 5, 0, 7);
    vec4_t d(3, 4, 7, 9);
    expect_vec(d.set_heading_degrees(0), 5, 0, 7, 9);

    // The two reference axes: writing 0 and reading back gives pi/2.
    vec2_t e(0, 1);
    e.set_heading(0);
    EXPECT_EQ(heading(e), half_pi);
}

TEST(PlanarTurnAndFace, UseTheReadHeadingWithTheWriteAxis) {
    // (1, 0) reads as pi/2; turning by 0 writes pi/2 from +x, that is straight up.
    vec2_t a(1, 0);
    expect_vec(a.turn(0), cos_half_pi, 1);
    vec3_t b(0, 2, 6);
    expect_vec(b.turn(half_pi), 2 * cos_half_pi, 2, 6);

    // Target straight up the +y axis: its heading 0 is written along +x.
    vec2_t c(3, 4);
    expect_vec(c.face_towards(vec2_t(3, 14)), 5, 0);
    vec3_t d(3, 4, 1);
    expect_vec(d.face_towards(vec3_t(3, 14, -8)), 5, 0, 1);
}

TEST(PlanarRotate, BothCoordinatesFromTheOldValues) {
    vec2_t a(1, 0);
    expect_vec(a.rotate(half_pi), cos_half_pi, 1);
    vec2_t b(1, 1);
    expect_vec(b.rotate(half_pi), -1, 0.99999994f);
    vec3_t c(0, 1, 4);
    expect_vec(c.rotate(half_pi), -1, cos_half_pi, 4);
    vec4_t d(1, 0, 4, 5);
    expect_vec(d.rotate(half_pi), cos_half_pi, 1, 4, 5);

    vec2_t e(2, 1);
    expect_vec(e.rotate_about(vec2_t(1, 1), half_pi), 0.99999994f, 2);
    vec3_t f(2, 1, 4);
    expect_vec(f.rotate_about(vec3_t(1, 1, 9), half_pi), 0.99999994f, 2, 4);
    vec4_t g(2, 1, 4, 5);
    expect_vec(g.rotate_about(vec4_t(1, 1, 9, 9), half_pi), 0.99999994f, 2, 4, 5);
}
