// Single-precision constants and the rounded-once trigonometry shared by the vector, quaternion and matrix types.
#pragma once

#include <cmath>

namespace single {

// The single nearest to pi, and twice it; the heading operations are defined with these
// rounded values rather than the exact ones.
inline constexpr float pi = 3.14159274f;
inline constexpr float two_pi = 6.28318548f;

// Single-precision pi divided by 180, held in double: degrees are turned into radians
// in double and rounded to single once.
inline constexpr double radians_per_degree = 0.017453293005625408;

// Vectors shorter than this (the single nearest to 1.0e-6) normalise to zero instead of
// being blown up by a huge reciprocal.
inline constexpr float min_length = 1.0e-6f;

// The angle is widened exactly, the function evaluated in double and the result rounded
// to single once, so every platform's float libm quirks stay out of the results.
inline float sin(float a) { return static_cast<float>(std::sin(static_cast<double>(a))); }
inline float cos(float a) { return static_cast<float>(std::cos(static_cast<double>(a))); }
inline float atan2(float y, float x) {
    return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}

}  // namespace single
