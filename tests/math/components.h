// Components of the vector, quaternion and matrix types as lists, a bit-exact table check over them, shared constants.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "math/mat4.h"
#include "math/quat.h"
#include "math/vec2.h"
#include "math/vec3.h"

using floats = std::vector<float>;
inline const float inf = std::numeric_limits<float>::infinity();
inline const float qnan = std::nanf("");
// Single-precision pi / 2 and its cosine: results carry these roundings rather than clean zeros.
inline constexpr float half_pi = 1.57079637f;
inline constexpr float cos_half_pi = -4.37113883e-08f;

inline floats f(const vec2_t& v) { return {v.x, v.y}; }
inline floats f(const vec3_t& v) { return {v.x, v.y, v.z}; }
inline floats f(const vec4_t& v) { return {v.x, v.y, v.z, v.w}; }
inline floats f(const quat_t& q) { return {q.x, q.y, q.z, q.w}; }
inline floats f(const mat4_t& m) { return floats(m.m, m.m + 16); }

struct check {
    const char* row;  // the row's source text, which names it in a failure
    floats got, want;
};

// A table row: ROW(got, want), either side a component list or a braced list of values.
#define ROW(...) \
    check { #__VA_ARGS__, __VA_ARGS__ }

// Exact on purpose: a tolerance would hide the rounding faults these tables are for. Only NaN
// stands for NaN.
inline void expect_all(const std::vector<check>& checks) {
    for (const check& c : checks) {
        bool same = c.got.size() == c.want.size();
        for (std::size_t k = 0; same && k < c.got.size(); ++k)
            same = c.got[k] == c.want[k] || (std::isnan(c.got[k]) && std::isnan(c.want[k]));
        EXPECT_TRUE(same) << "row ROW(" << c.row << "): got " << testing::PrintToString(c.got) << ", want "
                          << testing::PrintToString(c.want);
    }
}
