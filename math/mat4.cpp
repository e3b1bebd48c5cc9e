// mat4_t builders, the matrix product and the matrix text form.
#include "math/mat4.h"

#include <cmath>
#include <string>

#include "base/number_text.h"
#include "math/single_scalar.h"

namespace {

mat4_t rows(float r0c0, float r0c1, float r0c2, float r0c3, float r1c0, float r1c1, float r1c2, float r1c3, float r2c0,
            float r2c1, float r2c2, float r2c3, float r3c0, float r3c1, float r3c2, float r3c3) {
    mat4_t r;
    const float e[16] = {r0c0, r0c1, r0c2, r0c3, r1c0, r1c1, r1c2, r1c3,
                         r2c0, r2c1, r2c2, r2c3, r3c0, r3c1, r3c2, r3c3};
    for (int i = 0; i < 16; ++i) r.m[i] = e[i];
    return r;
}

}  // namespace

mat4_t mat4_t::identity() {
    *this = rows(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return *this;
}

mat4_t mat4_t::translation(float tx, float ty, float tz) {
    *this = rows(1, 0, 0, tx, 0, 1, 0, ty, 0, 0, 1, tz, 0, 0, 0, 1);
    return *this;
}

mat4_t mat4_t::scale(float sx, float sy, float sz) {
    *this = rows(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return *this;
}

mat4_t mat4_t::viewport(float a, float b) {
    // The -0.5 is a double constant: a normalised x of -1 lands on the centre of pixel -0.5.
    const float tx = static_cast<float>(static_cast<double>(a) - 0.5);
    const float ty = static_cast<float>(static_cast<double>(b) - 0.5);
    *this = rows(a, 0, 0, tx, 0, -b, 0, ty, 0, 0, 1, 0, 0, 0, 0, 1);
    return *this;
}

mat4_t mat4_t::perspective(float fov, float aspect, float near_plane, float far_plane) {
    float t = static_cast<float>(std::tan(static_cast<double>(fov) / 2.0));
    // Clamped below at 1.0e-6: this also catches the negative tangents of fov >= pi, which
    // would otherwise flip the picture. A NaN tangent (fov infinite or NaN) is not clamped
    // and gives NaN elements.
    if (t < single::min_length) t = single::min_length;
    const float d = near_plane - far_plane;
    // Each element is formed in double from the single inputs (and the single t and d) and
    // rounded once.
    const double n = near_plane;
    const double f = far_plane;
    const float m00 = static_cast<float>(1.0 / (static_cast<double>(aspect) * t));
    const float m11 = static_cast<float>(1.0 / static_cast<double>(t));
    const float m22 = static_cast<float>((-n - f) / d);
    const float m23 = static_cast<float>(n * f * static_cast<double>(2.0f) / d);
    *this = rows(m00, 0, 0, 0, 0, m11, 0, 0, 0, 0, m22, m23, 0, 0, 1, 0);
    return *this;
}

// The 2 and -2 are double constants; divided by a single and rounded once that gives the
// same value as a float division. Extents, sums and the other quotients are plain single
// arithmetic, rounded one operation at a time.
mat4_t mat4_t::orthographic(float left, float right, float bottom, float top, float near_plane, float far_plane) {
    const float rl = right - left;
    const float tb = top - bottom;
    const float fn = far_plane - near_plane;
    *this = rows(static_cast<float>(2.0 / rl), 0, 0, -(left + right) / rl, 0, static_cast<float>(2.0 / tb), 0,
                 -(bottom + top) / tb, 0, 0, static_cast<float>(-2.0 / fn), -(near_plane + far_plane) / fn, 0, 0, 0, 1);
    return *this;
}

mat4_t mat4_t::rotation(float ax, float ay, float az) const {
    // Each sine and cosine is evaluated in double from the single angle and rounded once.
    const float cx = single::cos(ax), sx = single::sin(ax);
    const float cy = single::cos(ay), sy = single::sin(ay);
    const float cz = single::cos(az), sz = single::sin(az);
    const mat4_t rx = rows(1, 0, 0, 0, 0, cx, -sx, 0, 0, sx, cx, 0, 0, 0, 0, 1);
    // Ry carries -s in row 0 and +s in row 2: a positive angle turns +x towards +z.
    const mat4_t ry = rows(cy, 0, -sy, 0, 0, 1, 0, 0, sy, 0, cy, 0, 0, 0, 0, 1);
    const mat4_t rz = rows(cz, -sz, 0, 0, sz, cz, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return multiply(rz, multiply(ry, rx));
}

// The sum starts from the first product rather than from 0.0, so an element whose four
// products are all -0 stays -0 as the formula gives it; the products of two singles are
// exact in double, and the sum is rounded to single once.
mat4_t multiply(const mat4_t& a, const mat4_t& b) {
    mat4_t r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double s = static_cast<double>(a.at(i, 0)) * static_cast<double>(b.at(0, j));
            for (int k = 1; k < 4; ++k) {
                s += static_cast<double>(a.at(i, k)) * static_cast<double>(b.at(k, j));
            }
            r.at(i, j) = static_cast<float>(s);
        }
    }
    return r;
}

// Row by row, every element preceded by one blank, rows 0 to 2 ended by a line feed and
// nothing after the last element.
std::string to_string(const mat4_t& mat) {
    std::string text;
    for (int r = 0; r < 4; ++r) {
        if (r > 0) text += '\n';
        for (int c = 0; c < 4; ++c) {
            text += ' ';
            text += base::single_to_string(mat.at(r, c));
        }
    }
    return text;
}
