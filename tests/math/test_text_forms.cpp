// Tests of the text forms of the vectors, the quaternion and the matrix.
#include <gtest/gtest.h>

#include <string>

#include "math/mat4.h"
#include "math/quat.h"
#include "math/vec2.h"
#include "math/vec3.h"
#include "math/vec4.h"

TEST(VectorText, ParenthesisedAndBlankSeparatedForms) {
    EXPECT_EQ(to_string(vec2_t(1, 2.5f)), "(1, 2.5)");
    EXPECT_EQ(to_spaced_string(vec2_t(1, 2.5f)), " 1 2.5");
    EXPECT_EQ(to_string(vec3_t(0.1f, -3, 1.0e10f)), "(0.1, -3, 1e+10)");
    EXPECT_EQ(to_spaced_string(vec3_t(0.1f, -3, 1.0e10f)), " 0.1 -3 1e+10");
    EXPECT_EQ(to_string(vec4_t(1, 2, 3)), " 1 2 3 1");
    EXPECT_EQ(to_string(quat_t()), " 0 0 0 0");
    // Seven significant digits of the value widened to double; -0 keeps its sign.
    EXPECT_EQ(to_string(vec4_t(1.0f / 3.0f, 12345678, -0.0f, 1.0e-7f)), " 0.3333333 1.234568e+07 -0 1e-07");
    EXPECT_EQ(to_string(quat_t(0.5f, 1234567, -2, 0.1f)), " 0.5 1234567 -2 0.1");
}

TEST(MatrixText, FourLinesWithoutTrailingLineFeed) {
    mat4_t m;
    EXPECT_EQ(to_string(m.identity()), " 1 0 0 0\n 0 1 0 0\n 0 0 1 0\n 0 0 0 1");
    EXPECT_EQ(to_string(m.viewport(400, 300)), " 400 0 0 399.5\n 0 -300 0 299.5\n 0 0 1 0\n 0 0 0 1");
    EXPECT_EQ(to_string(mat4_t()), " 0 0 0 0\n 0 0 0 0\n 0 0 0 0\n 0 0 0 0");
}
