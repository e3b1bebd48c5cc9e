// Tests of vec4_t: construction, arithmetic including w, measures, normalised copy, clamp, lerp and blend.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "math/vec4.h"
#include "vector_expectations.h"

TEST(Vec4Construction, DefaultsAndAccessors) {
    expect_vec(vec4_t(), 0, 0, 0, 1);
    expect_vec(vec4_t(1, 2, 3), 1, 2, 3, 1);
    expect_vec(vec4_t(1, 2, 3, 4), 1, 2, 3, 4);

    vec4_t v;
    // Setters chain because each returns the vector.
    v.set_x(5).set_y(6).set_z(7).set_w(8);
    EXPECT_EQ(v.get_x(), 5);
    EXPECT_EQ(v.get_y(), 6);
    EXPECT_EQ(v.get_z(), 7);
    EXPECT_EQ(v.get_w(), 8);
}

TEST(Vec4Arithmetic, EveryOperationIncludesW) {
    const vec4_t a(1, 2, 3, 1);
    const vec4_t ones(1, 1, 1, 1);
    expect_vec(add(a, ones), 2, 3, 4, 2);
    expect_vec(subtract(a, ones), 0, 1, 2, 0);
    expect_vec(scale(a, 2), 2, 4, 6, 2);
    expect_vec(add(a, 0.5f), 1.5f, 2.5f, 3.5f, 1.5f);
    expect_vec(subtract(a, 0.5f), 0.5f, 1.5f, 2.5f, 0.5f);
    expect_vec(multiply(vec4_t(1, 2, 3, 4), vec4_t(2, 3, 4, 5)), 2, 6, 12, 20);
    expect_vec(divide(vec4_t(2, 6, 12, 20), vec4_t(1, 2, 3, 4)), 2, 3, 4, 5);
    expect_vec(divide(vec4_t(2, 4, 6, 8), 2), 1, 2, 3, 4);

    vec4_t sum = a;
    sum += ones;
    expect_vec(sum, 2, 3, 4, 2);
}

TEST(Vec4Arithmetic, DivisionIsUnguarded) {
    const float inf = std::numeric_limits<float>::infinity();
    const vec4_t by_scalar = divide(vec4_t(1, -1, 0, 2), 0.0f);
    EXPECT_EQ(by_scalar.x, inf);
    EXPECT_EQ(by_scalar.y, -inf);
    EXPECT_TRUE(std::isnan(by_scalar.z));
    EXPECT_EQ(by_scalar.w, inf);

    const vec4_t by_vector = divide(vec4_t(1, -1, 0, 2), vec4_t(0, 0, 0, 1));
    EXPECT_EQ(by_vector.x, inf);
    EXPECT_EQ(by_vector.y, -inf);
    EXPECT_TRUE(std::isnan(by_vector.z));
    EXPECT_EQ(by_vector.w, 2);
}

TEST(Vec4Arithmetic, NegateLeavesWAndCrossGivesDirection) {
    vec4_t v(1, -2, 3, 4);
    expect_vec(v.negate(), -1, 2, -3, 4);
    expect_vec(v, -1, 2, -3, 4);

    // The operands' w are ignored, the result's w is 0.
    expect_vec(cross(vec4_t(1, 0, 0, 7), vec4_t(0, 1, 0, 9)), 0, 0, 1, 0);
    expect_vec(cross(vec4_t(0, 1, 0, 1), vec4_t(1, 0, 0, 1)), 0, 0, -1, 0);
}

TEST(Vec4Measures, LengthDotAndDistanceIncludeW) {
    EXPECT_EQ(length(vec4_t(0, 0, 0, 1)), 1);
    EXPECT_EQ(length(vec4_t(1, 1, 1, 1)), 2);
    EXPECT_EQ(dot(vec4_t(1, 2, 3, 4), vec4_t(1, 1, 1, 1)), 10);
    EXPECT_EQ(distance(vec4_t(0, 0, 0, 1), vec4_t(3, 4, 0, 1)), 5);
    EXPECT_EQ(distance(vec4_t(0, 0, 0, 0), vec4_t(0, 0, 0, 2)), 2);
}

TEST(Vec4Normalised, ThresholdAndW) {
    expect_vec(normalised(vec4_t(0, 0, 0, 1)), 0, 0, 0, 1);
    expect_vec(normalised(vec4_t(1, 1, 1, 1)), 0.5f, 0.5f, 0.5f, 0.5f);
    expect_vec(normalised(vec4_t(1, -1, -1, 0)), 0.577350259f, -0.577350259f, -0.577350259f, 0);

    // The threshold is the single nearest to 1.0e-6 and is inclusive.
    expect_vec(normalised(vec4_t(1.0e-6f, 0, 0, 0)), 1, 0, 0, 0);
    expect_vec(normalised(vec4_t(std::nextafter(1.0e-6f, 0.0f), 0, 0, 0)), 0, 0, 0, 0);
    expect_vec(normalised(vec4_t(0.0000001f, 0, 0, 0)), 0, 0, 0, 0);
    expect_vec(normalised(vec4_t(std::nanf(""), 1, 0, 0)), 0, 0, 0, 0);

    const vec4_t operand(3, 0, 4, 0);
    (void)normalised(operand);
    expect_vec(operand, 3, 0, 4, 0);
}

TEST(Vec4ClampLength, StrictlyLongerIsCutBack) {
    vec4_t at_limit(3, 4, 0, 0);
    expect_vec(at_limit.clamp_length(5), 3, 4, 0, 0);

    vec4_t longer(3, 4, 0, 0);
    expect_vec(longer.clamp_length(2.5f), 1.5f, 2, 0, 0);

    // w counts towards the length.
    vec4_t point(0, 0, 0, 2);
    expect_vec(point.clamp_length(1), 0, 0, 0, 1);
}

TEST(Vec4Interpolation, LerpAndBlendRunOppositeWays) {
    const vec4_t a(1, 2, 3, 4);
    const vec4_t b(5, 6, 7, 8);
    expect_vec(lerp(a, b, 0), 1, 2, 3, 4);
    expect_vec(lerp(a, b, 1), 5, 6, 7, 8);
    expect_vec(lerp(a, b, 0.5f), 3, 4, 5, 6);
    expect_vec(blend(a, b, 0), 5, 6, 7, 8);
    expect_vec(blend(a, b, 1), 1, 2, 3, 4);
    expect_vec(blend(a, b, 0.25f), 4, 5, 6, 7);
}
