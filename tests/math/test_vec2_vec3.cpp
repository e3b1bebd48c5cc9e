// Tests of vec2_t and vec3_t: arithmetic, the guarded in-place division, equality masks, measures, normalise, clamp, reflect, blend.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "math/vec2.h"
#include "math/vec3.h"
#include "vector_expectations.h"

TEST(Vec2Vec3Arithmetic, NewValuesAndInPlace) {
    expect_vec(vec2_t(), 0, 0);
    expect_vec(vec3_t(), 0, 0, 0);
    expect_vec(scale(subtract(add(vec2_t(1, 2), vec2_t(3, 5)), vec2_t(0, 1)), 2), 8, 12);
    expect_vec(scale(subtract(add(vec3_t(1, 2, 3), vec3_t(1, 1, 1)), vec3_t(0, 1, 0)), -2), -4, -4, -8);

    vec2_t a(1, 2);
    ((a += vec2_t(1, 1)) -= vec2_t(0, 2)) *= 4;
    expect_vec(a, 8, 4);
    expect_vec(a.negate(), -8, -4);
    vec3_t b(1, 2, 3);
    ((b += vec3_t(1, 1, 1)) -= vec3_t(0, 0, 2)) *= 2;
    expect_vec(b.negate(), -4, -6, -4);
}

TEST(Vec2Vec3Arithmetic, DivideInPlaceGuardsButNewValueDoesNot) {
    const float inf = std::numeric_limits<float>::infinity();

    vec2_t a(3, -4);
    expect_vec(a /= 0.0f, 3, -4);
    expect_vec(a /= std::nanf(""), 3, -4);
    expect_vec(a /= 2.0f, 1.5f, -2);

    vec3_t b(3, -4, 0);
    expect_vec(b /= 0.0f, 3, -4, 0);
    expect_vec(b /= -0.0f, 3, -4, 0);
    expect_vec(b /= std::nanf(""), 3, -4, 0);

    const vec2_t q2 = divide(vec2_t(3, 0), 0.0f);
    EXPECT_EQ(q2.x, inf);
    EXPECT_TRUE(std::isnan(q2.y));
    const vec3_t q3 = divide(vec3_t(3, -4, 0), 0.0f);
    EXPECT_EQ(q3.x, inf);
    EXPECT_EQ(q3.y, -inf);
    EXPECT_TRUE(std::isnan(q3.z));
    expect_vec(divide(vec3_t(2, 4, 6), 2.0f), 1, 2, 3);
}

TEST(Vec2Vec3Equality, MaskOfMinusOneAndZero) {
    expect_vec(equals(vec2_t(1, 2), vec2_t(1, 3)), -1, 0);
    expect_vec(equals(vec2_t(1, 2), vec2_t(1, 2)), -1, -1);
    // Exact IEEE equality: -0 equals +0, NaN equals nothing, not even itself.
    const float nan = std::nanf("");
    expect_vec(equals(vec3_t(0.0f, nan, 1), vec3_t(-0.0f, nan, 1.0000001f)), -1, 0, 0);
}

TEST(Vec2Vec3Measures, LengthDotCrossAndAreas) {
    EXPECT_EQ(distance(vec2_t(1, 1), vec2_t(4, 5)), 5);
    EXPECT_EQ(distance(vec3_t(1, 1, 1), vec3_t(3, 4, 7)), 7);
    EXPECT_EQ(dot(vec3_t(1, 2, 3), vec3_t(4, 5, 6)), 32);

    // perp_dot is a.x*b.y - a.y*b.x: positive from +x to +y.
    EXPECT_EQ(perp_dot(vec2_t(1, 0), vec2_t(0, 1)), 1);
    EXPECT_EQ(perp_dot(vec2_t(0, 1), vec2_t(1, 0)), -1);

    expect_vec(cross(vec3_t(1, 0, 0), vec3_t(0, 1, 0)), 0, 0, 1);
    expect_vec(cross(vec3_t(0, 1, 0), vec3_t(1, 0, 0)), 0, 0, -1);
    expect_vec(cross(vec3_t(1, 2, 3), vec3_t(4, 5, 6)), -3, 6, -3);
}

TEST(Vec2Vec3Measures, DoubledSignedAreaOnEveryVectorType) {
    EXPECT_EQ(doubled_signed_area(vec2_t(0, 0), vec2_t(10, 0), vec2_t(0, 10)), 100);
    EXPECT_EQ(doubled_signed_area(vec2_t(0, 0), vec2_t(0, 10), vec2_t(10, 0)), -100);
    EXPECT_EQ(doubled_signed_area(vec2_t(0, 0), vec2_t(1, 1), vec2_t(3, 3)), 0);
    // z and w are not read.
    EXPECT_EQ(doubled_signed_area(vec3_t(0, 0, 9), vec3_t(10, 0, -4), vec3_t(0, 10, 2)), 100);
    EXPECT_EQ(doubled_signed_area(vec4_t(0, 0, 9, 3), vec4_t(10, 0, -4, 0), vec4_t(0, 10, 2, 7)), 100);

    // 4097 * 4097 - 4096 * 4098 = 1, but both products round to 16785408 in single: the
    // products must be formed wider so that a nearly flat triangle keeps its sign.
    EXPECT_EQ(doubled_signed_area(vec2_t(0, 0), vec2_t(4097, 4096), vec2_t(4098, 4097)), 1);
    EXPECT_EQ(doubled_signed_area(vec4_t(0, 0, 0), vec4_t(4098, 4097, 0), vec4_t(4097, 4096, 0)), -1);
}

TEST(Vec2Vec3Normalise, ThresholdZeroesShortVectors) {
    vec2_t a(3, 4);
    expect_vec(a.normalise(), 0.6f, 0.8f);

    vec3_t b(0, -2, 0);
    expect_vec(b.normalise(), 0, -1, 0);

    vec3_t at_threshold(0, 1.0e-6f, 0);
    expect_vec(at_threshold.normalise(), 0, 1, 0);

    vec2_t below(0.0000001f, 0);
    expect_vec(below.normalise(), 0, 0);
    vec3_t not_a_number(std::nanf(""), 1, 1);
    expect_vec(not_a_number.normalise(), 0, 0, 0);
}

TEST(Vec2Vec3ClampLength, OnlyStrictlyLongerIsCut) {
    vec2_t at_limit(3, 4);
    expect_vec(at_limit.clamp_length(5), 3, 4);
    vec2_t longer(3, 4);
    expect_vec(longer.clamp_length(2.5f), 1.5f, 2);
    vec3_t shorter(2, 3, 6);
    expect_vec(shorter.clamp_length(8), 2, 3, 6);
    vec3_t longer3(2, 3, 6);
    longer3.clamp_length(3.5f);
    EXPECT_FLOAT_EQ(length(longer3), 3.5f);
}

TEST(Vec2Vec3Reflect, NormalIsNormalisedFirst) {
    vec2_t a(1, -1);
    expect_vec(a.reflect(vec2_t(0, 2)), 1, 1);
    vec3_t b(1, -1, 3);
    expect_vec(b.reflect(vec3_t(0, 5, 0)), 1, 1, 3);
    // A normal too short to normalise becomes zero, so nothing is reflected.
    vec3_t c(1, -1, 3);
    expect_vec(c.reflect(vec3_t(0, 1.0e-7f, 0)), 1, -1, 3);
}

TEST(Vec2Vec3Blend, EndsAreReversedFromLerp) {
    expect_vec(blend(vec2_t(1, 2), vec2_t(5, 6), 0), 5, 6);
    expect_vec(blend(vec2_t(1, 2), vec2_t(5, 6), 1), 1, 2);
    expect_vec(blend(vec3_t(4, 0, 8), vec3_t(0, 4, 0), 0.25f), 1, 3, 2);
}
