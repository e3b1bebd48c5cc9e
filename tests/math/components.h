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
    floats got, want;
};

// Exact on purpose: a tolerance would hide the rounding faults these tables are for. Only NaN
// stands for NaN.
inline void expect_all(const std::vector<check>& checks) {
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const floats& got = checks[i].got;
        const floats& want = checks[i].want;
        bool same = got.size() == want.size();
        for (std::size_t k = 0; same && k < got.size(); ++k)
            same = got[k] == want[k] || (std::isnan(got[k]) && std::isnan(want[k]));
        EXPECT_TRUE(same) << "check " << i << ": got " << testing::PrintToString(got) << ", want "
                          << testing::PrintToString(want);
    }
}
