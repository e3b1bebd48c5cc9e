// Tests of mat4_t: zero default, builders and what they overwrite, rotation order, perspective clamp, product
// precision, text.
#include <gtest/gtest.h>

#include <cmath>

#include "components.h"

TEST(Mat4, BuildersAndTheirTransforms) {
    mat4_t m;
    m.translation(7, 8, 9);
    const mat4_t id = m.identity();                   // overwrites every element, the translation column too
    const mat4_t turned = m.rotation(0, 0, half_pi);  // returned; m itself is left alone
    const mat4_t move = mat4_t().translation(1, 2, 3), view = mat4_t().viewport(400, 300);
    const mat4_t ortho = mat4_t().orthographic(-1, 1, -1, 1, 1, 3);
    const floats identity_rows{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    expect_all({
        ROW(f(id), identity_rows),
        ROW(f(m), identity_rows),
        ROW({turned.at(1, 0)}, {1}),
        ROW(f(transform(mat4_t(), vec4_t(1, 2, 3, 4))), {0, 0, 0, 0}),
        ROW(f(transform(id, vec4_t(1, 2, 3, 4))), {1, 2, 3, 4}),
        ROW(f(move), {1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1}),
        ROW(f(transform(move, vec4_t(0, 0, 0, 1))), {1, 2, 3, 1}),
        ROW(f(transform(move, vec4_t(4, 5, 6, 0))), {4, 5, 6, 0}),
        ROW(f(mat4_t().scale(2, 3, 4)), {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1}),
        ROW(f(view), {400, 0, 0, 399.5, 0, -300, 0, 299.5, 0, 0, 1, 0, 0, 0, 0, 1}),
        ROW(f(transform(view, vec4_t(-1, 1, 0.25f, 1))), {-0.5, -0.5, 0.25, 1}),
        ROW(f(transform(view, vec4_t(1, -1, 0.25f, 1))), {799.5, 599.5, 0.25, 1}),
        ROW(f(ortho), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, -2, 0, 0, 0, 1}),
        ROW(f(transform(ortho, vec4_t(0, 0, -3, 1))), {0, 0, 1, 1}),
        // 16777218 + 16777224 rounds to 33554440 in single before the division: -5592406.5, not -5592407.
        ROW({mat4_t().orthographic(16777218, 16777224, -1, 1, 1, 3).at(0, 3)}, {-5592406.5f}),
    });
    EXPECT_EQ(to_string(id), " 1 0 0 0\n 0 1 0 0\n 0 0 1 0\n 0 0 0 1");
}

TEST(Mat4, RotationIsRzRyRxAndTurnsTheAxesTheStatedWay) {
    const float ax = 0.3f, ay = -1.1f, az = 2.5f;
    auto c = [](float a) { return static_cast<float>(std::cos(static_cast<double>(a))); };
    auto s = [](float a) { return static_cast<float>(std::sin(static_cast<double>(a))); };
    const mat4_t rx{{1, 0, 0, 0, 0, c(ax), -s(ax), 0, 0, s(ax), c(ax), 0, 0, 0, 0, 1}};
    const mat4_t ry{{c(ay), 0, -s(ay), 0, 0, 1, 0, 0, s(ay), 0, c(ay), 0, 0, 0, 0, 1}};
    const mat4_t rz{{c(az), -s(az), 0, 0, s(az), c(az), 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    expect_all({
        ROW(f(mat4_t().rotation(ax, ay, az)), f(multiply(rz, multiply(ry, rx)))),
        ROW(f(transform(mat4_t().rotation(half_pi, 0, 0), vec4_t(0, 1, 0, 1))), {0, cos_half_pi, 1, 1}),
        ROW(f(transform(mat4_t().rotation(0, half_pi, 0), vec4_t(1, 0, 0, 1))),
            {cos_half_pi, 0, 1, 1}),  // +x towards +z
        ROW(f(transform(mat4_t().rotation(0, 0, half_pi), vec4_t(1, 0, 0, 1))), {cos_half_pi, 1, 0, 1}),
    });
}

TEST(Mat4, PerspectiveDemoValuesDepthRangeAndTangentClamp) {
    const mat4_t near_far = mat4_t().perspective(half_pi, 1, 1, 3);
    expect_all({
        ROW(f(mat4_t().perspective(1.5707964f, 800.0f / 600.0f, 1, 1000000)),
            {0.75, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.00000203f, -2.00000191f, 0, 0, 1, 0}),
        // Looking along +z with w = z: depth -1 at z = near, 3 / 3 = +1 at z = far.
        ROW(f(transform(near_far, vec4_t(0, 0, 1, 1))), {0, 0, -1, 1}),
        ROW(f(transform(near_far, vec4_t(0, 0, 3, 1))), {0, 0, 3, 3}),
        ROW({mat4_t().perspective(90, 1, 1, 3).at(1, 1)}, {1.0f / 1.6197752f}),  // radians: tan(45) = 1.6197752
        // fov 0, single pi (tangent about -2.3e7) and a negative fov all clamp t to 1.0e-6.
        ROW({mat4_t().perspective(0, 1, 1, 3).at(1, 1), mat4_t().perspective(3.14159274f, 1, 1, 3).at(1, 1),
             mat4_t().perspective(-1, 2, 1, 3).at(0, 0)},
            {1000000, 1000000, 500000}),
    });
}

TEST(Mat4, ProductOrderAndPrecision) {
    const mat4_t t = mat4_t().translation(5, 0, 0), r = mat4_t().rotation(0, 0, half_pi);
    const vec4_t turned_after_move = transform(multiply(r, t), vec4_t(1, 0, 0, 1));
    const float e24 = std::ldexp(1.0f, -24), e25 = std::ldexp(1.0f, -25);
    const mat4_t ones{{1, 1, 1, 1}}, small_column{{1, 0, 0, 0, e25, 0, 0, 0, e25, 0, 0, 0, e25}};
    expect_all({
        ROW(f(transform(multiply(t, r), vec4_t(1, 0, 0, 1))), {5, 1, 0, 1}),              // the turned point is moved
        ROW({turned_after_move.y, turned_after_move.z, turned_after_move.w}, {6, 0, 1}),  // the moved point is turned
        // multiply sums 1 + 3 * 2^-25 wider and rounds once: 1 + 2^-23 (in single it would stay 1).
        ROW({multiply(ones, small_column).at(0, 0)}, {1 + std::ldexp(1.0f, -23)}),
        // transform rounds after each step, x first: three 2^-24 add up before meeting 1, while
        // 1 first swallows each of them (a wider sum would give 1 + 2^-22 both times).
        ROW({transform(ones, vec4_t(e24, e24, e24, 1)).x, transform(ones, vec4_t(1, e24, e24, e24)).x},
            {1 + std::ldexp(1.0f, -22), 1}),
    });
    EXPECT_TRUE(std::signbit(multiply(mat4_t{{-1, -1, -1, -1}}, mat4_t()).at(0, 0)));  // four -0 products sum to -0
}
