// Component-by-component expectations for the vector and quaternion tests.
#pragma once

#include <gtest/gtest.h>

#include "math/quat.h"
#include "math/vec2.h"
#include "math/vec3.h"
#include "math/vec4.h"

// Exact comparisons: the library is meant to be bit-exact in single precision, so a
// tolerance would hide the rounding faults these tests exist to catch.
inline void expect_vec(const vec2_t& v, float x, float y) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
}
inline void expect_vec(const vec3_t& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}
inline void expect_vec(const vec4_t& v, float x, float y, float z, float w) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
    EXPECT_EQ(v.w, w);
}
inline void expect_quat(const quat_t& q, float x, float y, float z, float w) {
    EXPECT_EQ(q.x, x);
    EXPECT_EQ(q.y, y);
    EXPECT_EQ(q.z, z);
    EXPECT_EQ(q.w, w);
}
