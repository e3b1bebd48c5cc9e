// Tests of mat4_t: the zero default, every builder, the product's precision and order, and the transform.
#include <gtest/gtest.h>

#include <cmath>

#include "math/mat4.h"
#include "vector_expectations.h"

namespace {

void expect_rows(const mat4_t& m, const float (&rows)[16]) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m.m[i], rows[i]) << "element (" << i / 4 << ", " << i % 4 << ")";
    }
}

mat4_t from_rows(const float (&rows)[16]) {
    mat4_t m;
    for (int i = 0; i < 16; ++i) m.m[i] = rows[i];
    return m;
}

constexpr float half_pi = 1.57079637f;
constexpr float cos_half_pi = -4.37113883e-08f;

}  // namespace

TEST(Mat4Builders, ZeroDefaultIdentityTranslationScale) {
    const mat4_t zero;
    expect_vec(transform(zero, vec4_t(1, 2, 3, 4)), 0, 0, 0, 0);

    mat4_t m;
    const mat4_t id = m.identity();
    expect_rows(id, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    expect_vec(transform(id, vec4_t(1, 2, 3, 4)), 1, 2, 3, 4);

    expect_rows(m.translation(1, 2, 3), {1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1});
    expect_vec(transform(m, vec4_t(0, 0, 0, 1)), 1, 2, 3, 1);
    expect_vec(transform(m, vec4_t(4, 5, 6, 0)), 4, 5, 6, 0);

    expect_rows(m.scale(2, 3, 4), {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1});
    expect_vec(transform(m, vec4_t(1, 1, 1, 1)), 2, 3, 4, 1);
}

TEST(Mat4Builders, OverwriteAndReturnButRotationLeavesTheMatrix) {
    mat4_t m;
    m.translation(7, 8, 9);
    // identity overwrites every element, the translation column included.
    m.identity();
    expect_rows(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});

    const mat4_t rotated = m.rotation(0, 0, half_pi);
    expect_rows(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    EXPECT_EQ(rotated.at(1, 0), 1);
}

TEST(Mat4Rotation, AxesTurnTheStatedWay) {
    const mat4_t m;
    expect_vec(transform(m.rotation(half_pi, 0, 0), vec4_t(0, 1, 0, 1)), 0, cos_half_pi, 1, 1);
    // Ry is the odd one out: a positive angle turns +x towards +z.
    expect_vec(transform(m.rotation(0, half_pi, 0), vec4_t(1, 0, 0, 1)), cos_half_pi, 0, 1, 1);
    expect_vec(transform(m.rotation(0, 0, half_pi), vec4_t(1, 0, 0, 1)), cos_half_pi, 1, 0, 1);
}

TEST(Mat4Rotation, EqualsRzTimesRyTimesRx) {
    const float ax = 0.3f, ay = -1.1f, az = 2.5f;
    auto c = [](float a) { return static_cast<float>(std::cos(static_cast<double>(a))); };
    auto s = [](float a) { return static_cast<float>(std::sin(static_cast<double>(a))); };
    const mat4_t rx = from_rows({1, 0, 0, 0, 0, c(ax), -s(ax), 0, 0, s(ax), c(ax), 0, 0, 0, 0, 1});
    const mat4_t ry = from_rows({c(ay), 0, -s(ay), 0, 0, 1, 0, 0, s(ay), 0, c(ay), 0, 0, 0, 0, 1});
    const mat4_t rz = from_rows({c(az), -s(az), 0, 0, s(az), c(az), 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    const mat4_t expected = multiply(rz, multiply(ry, rx));
    expect_rows(mat4_t().rotation(ax, ay, az), expected.m);
}

TEST(Mat4Perspective, DemoValuesAndTangentClamp) {
    mat4_t m;
    m.perspective(1.5707964f, 800.0f / 600.0f, 1, 1000000);
    expect_rows(m, {0.75f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.00000203f, -2.00000191f, 0, 0, 1, 0});
    // Camera looks along +z: w = z, near maps to -1 and far to +1 (to single precision).
    const vec4_t near_point = transform(m, vec4_t(0, 0, 1, 1));
    EXPECT_NEAR(near_point.z / near_point.w, -1.0f, 1e-6f);
    const vec4_t far_point = transform(m, vec4_t(0, 0, 1000000, 1));
    EXPECT_EQ(far_point.w, 1000000);
    EXPECT_NEAR(far_point.z / far_point.w, 1.0f, 1e-6f);

    // near 1, far 3 gives m22 = 2, m23 = -3 exactly: depths -1 and +1 exactly.
    m.perspective(half_pi, 1, 1, 3);
    EXPECT_EQ(m.at(2, 2), 2);
    EXPECT_EQ(m.at(2, 3), -3);
    expect_vec(transform(m, vec4_t(0, 0, 1, 1)), 0, 0, -1, 1);
    expect_vec(transform(m, vec4_t(0, 0, 3, 1)), 0, 0, 3, 3);

    // Degrees by mistake: tan(45 rad) = 1.6197752.
    m.perspective(90, 1, 1, 3);
    EXPECT_EQ(m.at(1, 1), 1.0f / 1.6197752f);

    // fov 0, fov = single pi (tangent about -2.3e7) and a negative fov all clamp t to 1.0e-6.
    for (float fov : {0.0f, 3.14159274f, -1.0f}) {
        m.perspective(fov, 1, 1, 3);
        EXPECT_EQ(m.at(1, 1), 1000000) << "fov " << fov;
        EXPECT_EQ(m.at(0, 0), 1000000) << "fov " << fov;
    }
}

TEST(Mat4Viewport, MapsNormalisedCornersToPixelCentres) {
    mat4_t m;
    m.viewport(400, 300);
    expect_rows(m, {400, 0, 0, 399.5f, 0, -300, 0, 299.5f, 0, 0, 1, 0, 0, 0, 0, 1});
    expect_vec(transform(m, vec4_t(-1, 1, 0.25f, 1)), -0.5f, -0.5f, 0.25f, 1);
    expect_vec(transform(m, vec4_t(1, -1, 0.25f, 1)), 799.5f, 599.5f, 0.25f, 1);
}

TEST(Mat4Orthographic, MinusZForwardWithSingleOffsets) {
    mat4_t m;
    m.orthographic(-1, 1, -1, 1, 1, 3);
    expect_rows(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, -2, 0, 0, 0, 1});
    expect_vec(transform(m, vec4_t(0, 0, -1, 1)), 0, 0, -1, 1);
    expect_vec(transform(m, vec4_t(0, 0, -3, 1)), 0, 0, 1, 1);

    m.orthographic(0, 800, 600, 0, -1, 1);
    expect_rows(m, {0.0025f, 0, 0, -1, 0, -2.0f / 600, 0, 1, 0, 0, -1, 0, 0, 0, 0, 1});

    // left + right = 33554442 rounds to 33554440 in single before the division by 6, so the
    // offset is -5592406.5 (-5592407 if the sum were kept wider).
    m.orthographic(16777218, 16777224, -1, 1, 1, 3);
    EXPECT_EQ(m.at(0, 3), -5592406.5f);
}

TEST(Mat4Multiply, OrderAndPrecision) {
    mat4_t t, r;
    t.translation(5, 0, 0);
    r = r.rotation(0, 0, half_pi);
    // translation * rotation moves the rotated point; rotation * translation turns the moved one.
    expect_vec(transform(multiply(t, r), vec4_t(1, 0, 0, 1)), 5, 1, 0, 1);
    const vec4_t turned = transform(multiply(r, t), vec4_t(1, 0, 0, 1));
    EXPECT_NEAR(turned.x, 0, 1e-6);
    EXPECT_EQ(turned.y, 6);
    EXPECT_EQ(turned.w, 1);

    // 1 + 3 * 2^-25 summed wider and rounded once is 1 + 2^-23; summed in single it stays 1.
    const float e = std::ldexp(1.0f, -25);
    const mat4_t a = from_rows({1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const mat4_t b = from_rows({1, 0, 0, 0, e, 0, 0, 0, e, 0, 0, 0, e, 0, 0, 0});
    EXPECT_EQ(multiply(a, b).at(0, 0), 1.0f + std::ldexp(1.0f, -23));

    // Four -0 products sum to -0, as the formula gives.
    const mat4_t negative = from_rows({-1, -1, -1, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(std::signbit(multiply(negative, mat4_t()).at(0, 0)));
}

TEST(Mat4Transform, AccumulatesInSingleInTheOrderXYZW) {
    // 2^-24 three times, then 1: in that order the small terms add up before meeting 1
    // (1 + 1.5 * 2^-23 rounds to 1 + 2^-22); added to 1 one by one each would vanish.
    const float e = std::ldexp(1.0f, -24);
    const mat4_t ones = from_rows({1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(transform(ones, vec4_t(e, e, e, 1)).x, 1.0f + std::ldexp(1.0f, -22));
    // And each step rounds: 1 then three times 2^-24 stays 1, where a wider sum would not.
    EXPECT_EQ(transform(ones, vec4_t(1, e, e, e)).x, 1.0f);
}
