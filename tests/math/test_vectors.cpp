// Tests of vec2_t, vec3_t, vec4_t and quat_t: which components each operation touches, guards, thresholds, planar
// angles, texts.
#include <gtest/gtest.h>

#include <cmath>

#include "components.h"

TEST(Vec4, EveryOperationIncludesWExceptNegateAndCross) {
    const vec4_t a(1, 2, 3, 1), ones(1, 1, 1, 1), b(2, 6, 12, 4);
    expect_all({
        ROW(f(vec4_t()), {0, 0, 0, 1}),
        ROW(f(vec4_t(1, 2, 3)), {1, 2, 3, 1}),
        ROW(f(quat_t()), {0, 0, 0, 0}),
        ROW(f(add(a, ones)), {2, 3, 4, 2}),
        ROW(f(vec4_t(a) += ones), {2, 3, 4, 2}),
        ROW(f(subtract(a, ones)), {0, 1, 2, 0}),
        ROW(f(scale(a, 2)), {2, 4, 6, 2}),
        ROW(f(add(a, 0.5f)), {1.5, 2.5, 3.5, 1.5}),
        ROW(f(subtract(a, 0.5f)), {0.5, 1.5, 2.5, 0.5}),
        ROW(f(multiply(a, b)), {2, 12, 36, 4}),
        ROW(f(divide(b, a)), {2, 3, 4, 4}),
        ROW(f(divide(b, 2)), {1, 3, 6, 2}),
        ROW({dot(a, b), length(vec4_t(0, 0, 0, 1)), length(ones), distance(vec4_t(0, 0, 0, 0), vec4_t(0, 0, 0, 2))},
            {54, 1, 2, 2}),
        ROW(f(divide(vec4_t(1, -1, 0, 2), 0.0f)), {inf, -inf, qnan, inf}),  // no guard in either division
        ROW(f(divide(vec4_t(1, -1, 0, 2), vec4_t(0, 0, 0, 1))), {inf, -inf, qnan, 2}),
        ROW(f(vec4_t(1, -2, 3, 4).negate()), {-1, 2, -3, 4}),
        ROW(f(cross(vec4_t(1, 0, 0, 7), vec4_t(0, 1, 0, 9))), {0, 0, 1, 0}),
        ROW(f(lerp(a, b, 0)), f(a)),
        ROW(f(lerp(a, b, 1)), f(b)),
        ROW(f(lerp(a, b, 0.5f)), {1.5, 4, 7.5, 2.5}),
        ROW(f(blend(a, b, 0)), f(b)),
        ROW(f(blend(a, b, 1)), f(a)),
        ROW(f(blend(a, b, 0.25f)), {1.75, 5, 9.75, 3.25}),
    });
}

TEST(Vec2Vec3, ArithmeticGuardedInPlaceDivideEqualityMasksAndMeasures) {
    expect_all({
        ROW(f(vec2_t()), {0, 0}),
        ROW(f(vec3_t()), {0, 0, 0}),
        ROW(f(scale(subtract(add(vec2_t(1, 2), {3, 5}), {0, 1}), 2)), {8, 12}),
        ROW(f(((vec2_t(1, 2) += vec2_t(1, 1)) -= vec2_t(0, 2)) *= 4), {8, 4}),
        ROW(f((((vec3_t(1, 2, 3) += vec3_t(1, 1, 1)) -= vec3_t(0, 0, 2)) *= 2).negate()), {-4, -6, -4}),
        ROW(f(vec2_t(3, -4) /= 0.0f), {3, -4}),
        ROW(f(vec2_t(3, -4) /= qnan), {3, -4}),
        ROW(f(vec2_t(3, -4) /= 2.0f), {1.5, -2}),
        ROW(f(vec3_t(3, -4, 0) /= -0.0f), {3, -4, 0}),
        ROW(f(vec3_t(3, -4, 0) /= qnan), {3, -4, 0}),
        ROW(f(divide(vec2_t(3, 0), 0.0f)), {inf, qnan}),
        ROW(f(divide(vec3_t(3, -4, 0), 0.0f)), {inf, -inf, qnan}),
        ROW(f(equals(vec2_t(1, 2), vec2_t(1, 3))), {-1, 0}),
        ROW(f(equals(vec3_t(0.0f, qnan, 1), {-0.0f, qnan, 1.0000001f})), {-1, 0, 0}),
        ROW({distance(vec2_t(1, 1), {4, 5}), distance(vec3_t(1, 1, 1), {3, 4, 7}), dot(vec3_t(1, 2, 3), {4, 5, 6}),
             perp_dot(vec2_t(1, 0), {0, 1})},
            {5, 7, 32, 1}),
        ROW(f(cross(vec3_t(1, 2, 3), vec3_t(4, 5, 6))), {-3, 6, -3}),
        ROW(f(blend(vec2_t(1, 2), vec2_t(5, 6), 0)), {5, 6}),
        ROW(f(blend(vec3_t(4, 0, 8), vec3_t(0, 4, 0), 0.25f)), {1, 3, 2}),
        // 4097 * 4097 - 4096 * 4098 = 1 although both products round to 16785408 in single; z and w are not read.
        ROW({doubled_signed_area(vec2_t(0, 0), {10, 0}, {0, 10}),
             doubled_signed_area(vec3_t(0, 0, 9), {0, 10, -4}, {10, 0, 2}),
             doubled_signed_area(vec4_t(0, 0, 9, 3), {1, 1, -4, 0}, {3, 3, 2, 7}),
             doubled_signed_area(vec2_t(0, 0), {4097, 4096}, {4098, 4097})},
            {100, -100, 0, 1}),
    });
}

TEST(VectorLength, NormaliseThresholdClampAndReflect) {
    const float below = std::nextafter(1.0e-6f, 0.0f), root2 = std::sqrt(2.0f);
    expect_all({
        ROW(f(normalised(vec4_t(0, 0, 0, 1))), {0, 0, 0, 1}),
        ROW(f(normalised(vec4_t(1, -1, -1, 0))), {0.577350259f, -0.577350259f, -0.577350259f, 0}),
        ROW(f(normalised(vec4_t(1.0e-6f, 0, 0, 0))), {1, 0, 0, 0}),  // the threshold itself still normalises
        ROW(f(normalised(vec4_t(below, 0, 0, 0))), {0, 0, 0, 0}),
        ROW(f(normalised(vec4_t(qnan, 1, 0, 0))), {0, 0, 0, 0}),
        ROW(f(vec2_t(3, 4).normalise()), {0.6f, 0.8f}),
        ROW(f(vec3_t(0, 1.0e-6f, 0).normalise()), {0, 1, 0}),
        ROW(f(vec2_t(below, 0).normalise()), {0, 0}),
        ROW(f(vec3_t(qnan, 1, 1).normalise()), {0, 0, 0}),
        // Only a length strictly above the limit is cut back (w counts for vec4_t).
        ROW(f(vec2_t(1, 1).clamp_length(root2)), {1, 1}),
        ROW(f(vec2_t(3, 4).clamp_length(2.5f)), {1.5, 2}),
        ROW(f(vec3_t(1, 1, 0).clamp_length(root2)), {1, 1, 0}),
        ROW(f(vec3_t(0, 3, 4).clamp_length(2.5f)), {0, 1.5, 2}),
        ROW(f(vec4_t(1, 0, 0, 1).clamp_length(root2)), {1, 0, 0, 1}),
        ROW(f(vec4_t(0, 0, 0, 2).clamp_length(1)), {0, 0, 0, 1}),
        // The normal is normalised first; one too short to normalise reflects nothing.
        ROW(f(vec2_t(1, -1).reflect({0, 2})), {1, 1}),
        ROW(f(vec3_t(1, -1, 3).reflect({0, 5, 0})), {1, 1, 3}),
        ROW(f(vec3_t(1, -1, 3).reflect({0, 1.0e-7f, 0})), {1, -1, 3}),
    });
}

TEST(Quat, HamiltonProductConjugateAndNormalise) {
    const quat_t i(1, 0, 0, 0), j(0, 1, 0, 0), q(1, 2, 3, 4);
    quat_t zero, two(0, 0, 0, 2);
    const quat_t returned = two.normalise();
    expect_all({
        ROW(f(i * j), {0, 0, 1, 0}),
        ROW(f(j * i), {0, 0, -1, 0}),
        ROW(f(i * i), {0, 0, 0, -1}),
        ROW(f(q * quat_t(5, 6, 7, 8)), {24, 48, 48, -6}),
        ROW(f(q * vec3_t(5, 6, 7)), {16, 32, 24, -38}),
        ROW(f(conjugate(q)), {-1, -2, -3, 4}),
        ROW({length(quat_t(1, 2, 2, 4))}, {5}),
        ROW(f(zero.normalise()), {0, 0, 0, 0}),
        ROW(f(returned), {0, 0, 0, 1}),
        ROW(f(two), {0, 0, 0, 1}),
        ROW(f(quat_t(1, 2, 2, 4).normalise()), {0.2f, 0.4f, 0.4f, 0.8f}),
        ROW(f(quat_t(1.0e-7f, 0, 0, 0).normalise()), {1, 0, 0, 0}),          // no small-length threshold
        ROW(f(quat_t(1.0e-30f, 0, 0, 0).normalise()), {1.0e-30f, 0, 0, 0}),  // squares underflow: length 0
        ROW(f(quat_t(qnan, 1, 0, 0).normalise()), {qnan, 1, 0, 0}),
    });
}

TEST(PlanarAngles, ReadFromPlusYWrittenFromPlusX) {
    expect_all({
        ROW({heading(vec2_t(0, 1)), heading(vec2_t(1, 0)), heading(vec3_t(0, -1, 5)), heading(vec4_t(-1, 0, 5, 5)),
             heading_degrees(vec2_t(1, 0)), heading_degrees(vec3_t(0, -1, 0)), heading_degrees(vec4_t(-1, 1, 0, 0)),
             heading_to(vec2_t(1, 1), {2, 2}), heading_to(vec3_t(1, 1, 0), {0, 0, 0})},  // not wrapped
            {0, half_pi, 3.14159274f, -half_pi, 90, 180, -45, 0.785398185f, -2.3561945f}),
        ROW(f(direction_to(vec2_t(3, 4), {3, 4})), {0, 1}),
        ROW(f(direction_to(vec3_t(1, 2, 3), {1, 2, 7})), {0, 1, 4}),  // atan2(0, 0) = 0
        ROW(f(direction_to(vec4_t(0, 0, 0, 1), {0, 0, 5, 3})), {0, 1, 5, 2}),
        // -pi/2 wrapped with the single 2pi: its cosine is +1.19e-8, unwrapped it would be -4.37e-8.
        ROW(f(direction_to(vec2_t(0, 0), {-3, 0})), {-1, 1.19248806e-08f}),
        ROW(f(vec2_t(3, 4).set_heading(half_pi)), {5 * cos_half_pi, 5}),
        ROW(f(vec2_t(0, 2).set_heading_degrees(90)), {2 * cos_half_pi, 2}),
        ROW(f(vec3_t(3, 4, 7).set_heading(0)), {5, 0, 7}),
        ROW(f(vec4_t(3, 4, 7, 9).set_heading_degrees(0)), {5, 0, 7, 9}),
        ROW({heading(vec2_t(0, 1).set_heading(0))}, {half_pi}),  // written 0 reads back as pi/2
        ROW(f(vec2_t(1, 0).turn(0)), {cos_half_pi, 1}),
        ROW(f(vec3_t(0, 2, 6).turn(half_pi)), {2 * cos_half_pi, 2, 6}),
        ROW(f(vec2_t(3, 4).face_towards({3, 14})), {5, 0}),
        ROW(f(vec3_t(3, 4, 1).face_towards({3, 14, -8})), {5, 0, 1}),
        ROW(f(vec2_t(1, 1).rotate(half_pi)), {-1, 0.99999994f}),
        ROW(f(vec3_t(0, 1, 4).rotate(half_pi)), {-1, cos_half_pi, 4}),
        ROW(f(vec4_t(1, 0, 4, 5).rotate(half_pi)), {cos_half_pi, 1, 4, 5}),
        ROW(f(vec3_t(2, 1, 4).rotate_about({1, 1, 9}, half_pi)), {0.99999994f, 2, 4}),
        ROW(f(vec4_t(2, 1, 4, 5).rotate_about({1, 1, 9, 9}, half_pi)), {0.99999994f, 2, 4, 5}),
    });
}

TEST(VectorText, SeparatorsAndSevenSignificantDigits) {
    EXPECT_EQ(to_string(vec2_t(1, 2.5f)) + "|" + to_spaced_string(vec2_t(1, 2.5f)), "(1, 2.5)| 1 2.5");
    EXPECT_EQ(to_string(vec3_t(0.1f, -3, 1.0e10f)), "(0.1, -3, 1e+10)");
    EXPECT_EQ(to_spaced_string(vec3_t(0.1f, -3, 1.0e10f)), " 0.1 -3 1e+10");
    EXPECT_EQ(to_string(vec4_t(1.0f / 3.0f, 12345678, -0.0f, 1.0e-7f)), " 0.3333333 1.234568e+07 -0 1e-07");
    EXPECT_EQ(to_string(quat_t(0.5f, 1234567, -2, 0.1f)), " 0.5 1234567 -2 0.1");
}
