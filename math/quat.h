// quat_t: the single-precision quaternion with its conjugate, Hamilton product and normalisation.
#pragma once

#include <cmath>
#include <string>

#include "math/vec3.h"

// (x, y, z) is the vector part and w the scalar part. Unlike vec4_t the default is all
// zero, w included. Products are plain float arithmetic, evaluated term by term in the
// order written below, rounding after every operation.
struct quat_t {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    constexpr quat_t() = default;
    constexpr quat_t(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    quat_t& normalise();
};

inline float length(const quat_t& q) { return std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w); }

constexpr quat_t conjugate(const quat_t& q) { return {-q.x, -q.y, -q.z, q.w}; }

// Hamilton product q (x) r: r acts first when both are used as rotations.
constexpr quat_t multiply(const quat_t& q, const quat_t& r) {
    return {q.w * r.x + q.x * r.w + q.y * r.z - q.z * r.y, q.w * r.y - q.x * r.z + q.y * r.w + q.z * r.x,
            q.w * r.z + q.x * r.y - q.y * r.x + q.z * r.w, q.w * r.w - q.x * r.x - q.y * r.y - q.z * r.z};
}

// q (x) (v, 0): the Hamilton product with the terms of the zero scalar part left out.
constexpr quat_t multiply(const quat_t& q, const vec3_t& v) {
    return {q.w * v.x + q.y * v.z - q.z * v.y, q.w * v.y - q.x * v.z + q.z * v.x, q.w * v.z + q.x * v.y - q.y * v.x,
            -q.x * v.x - q.y * v.y - q.z * v.z};
}

constexpr quat_t operator*(const quat_t& q, const quat_t& r) { return multiply(q, r); }
constexpr quat_t operator*(const quat_t& q, const vec3_t& v) { return multiply(q, v); }

// Divides by the length in place. A zero (or NaN) length leaves the quaternion as it is
// rather than filling it with NaN; there is no small-length threshold as for vectors.
inline quat_t& quat_t::normalise() {
    const float len = length(*this);
    if (len == 0.0f || std::isnan(len)) {
        return *this;
    }
    x /= len;
    y /= len;
    z /= len;
    w /= len;
    return *this;
}

// " x y z w", numbers as the runtime's single-to-string writes them.
std::string to_string(const quat_t& q);
