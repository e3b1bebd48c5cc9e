// mat4_t: the 4 x 4 single-precision matrix, its builders, the product and the transform of a vec4_t.
#pragma once

#include <string>

#include "math/vec4.h"

// Column-vector convention: v' = M * v, translations in the last column, and in A * B
// the matrix B acts first. Elements are stored row after row.
struct mat4_t {
    float m[16] = {};  // zero matrix by default, not the identity

    constexpr float at(int r, int c) const { return m[r * 4 + c]; }
    constexpr float& at(int r, int c) { return m[r * 4 + c]; }

    // These builders overwrite all sixteen elements and also return the result.
    mat4_t identity();
    mat4_t translation(float tx, float ty, float tz);
    mat4_t scale(float sx, float sy, float sz);
    mat4_t viewport(float half_width, float half_height);
    mat4_t perspective(float fov, float aspect, float near_plane, float far_plane);
    mat4_t orthographic(float left, float right, float bottom, float top, float near_plane, float far_plane);

    // Rz(az) * (Ry(ay) * Rx(ax)); returns the matrix and leaves *this unchanged.
    mat4_t rotation(float ax, float ay, float az) const;
};

// Element (i, j) sums its four products in the order k = 0..3 in double and rounds once.
mat4_t multiply(const mat4_t& a, const mat4_t& b);

// Each component accumulates in single precision in the order x, y, z, w:
// s = m0*x; s = m1*y + s; s = m2*z + s; result = m3*w + s, rounding after every operation.
inline vec4_t transform(const mat4_t& mat, const vec4_t& v) {
    float r[4];
    for (int row = 0; row < 4; ++row) {
        const float* e = &mat.m[row * 4];
        float s = e[0] * v.x;
        s = e[1] * v.y + s;
        s = e[2] * v.z + s;
        r[row] = e[3] * v.w + s;
    }
    return {r[0], r[1], r[2], r[3]};
}

// The sixteen elements row by row, each after one blank, a line feed ending rows 0 to 2
// and no line feed after row 3.
std::string to_string(const mat4_t& mat);
