// Heading, turning and rotation in the x-y plane, shared by vec2_t, vec3_t and vec4_t.
#pragma once

#include <cmath>

#include "math/single_scalar.h"

// These work on the x and y of a vector only; the vector types wrap them so that z and w
// are never read or written.
//
// Two reference axes meet here on purpose. Reading a heading uses atan2(x, y): the angle
// from +y towards +x. Writing one (set_heading, turn, face_towards) puts (r cos, r sin):
// the angle from +x towards +y. Setting theta and reading it back therefore gives
// pi/2 - theta, wrapped; callers of the library rely on both conventions as they are.
namespace planar {

inline float heading(float x, float y) { return single::atan2(x, y); }

// The whole formula is one expression: atan2, the factor 180 and the single-precision pi
// are combined in double and the result is rounded to single once.
inline float heading_degrees(float x, float y) {
    return static_cast<float>(std::atan2(static_cast<double>(x), static_cast<double>(y)) * 180.0 /
                              static_cast<double>(single::pi));
}

// Keeps the planar length and points the (x, y) part at theta, measured from +x.
inline void set_heading(float& x, float& y, float theta) {
    const float r = std::sqrt(x * x + y * y);
    x = r * single::cos(theta);
    y = r * single::sin(theta);
}

inline void set_heading_degrees(float& x, float& y, float degrees) {
    set_heading(x, y, static_cast<float>(static_cast<double>(degrees) * single::radians_per_degree));
}

inline void turn(float& x, float& y, float delta) { set_heading(x, y, heading(x, y) + delta); }

// Unit (x, y) of the direction (dx, dy), written back as (sin, cos) of its heading so that
// it agrees with the atan2(x, y) reading; negative headings are wrapped into 0..2pi with
// the single-precision 2pi first. A zero direction gives heading 0, that is (0, 1).
inline void direction(float& dx, float& dy) {
    float theta = single::atan2(dx, dy);
    if (theta < 0.0f) {
        theta = theta + single::two_pi;
    }
    dx = single::sin(theta);
    dy = single::cos(theta);
}

// Both new coordinates come from the old x and y.
inline void rotate(float& x, float& y, float theta) {
    const float c = single::cos(theta);
    const float s = single::sin(theta);
    const float ox = x;
    const float oy = y;
    x = c * ox - s * oy;
    y = s * ox + c * oy;
}

inline void rotate_about(float& x, float& y, float px, float py, float theta) {
    const float c = single::cos(theta);
    const float s = single::sin(theta);
    const float dx = x - px;
    const float dy = y - py;
    x = px + c * dx - s * dy;
    y = py + s * dx + c * dy;
}

// (b - a) x (c - a) in the plane. The differences are rounded to single; their products
// are exact in double and the result is rounded once, so its sign is always the true one.
inline float doubled_signed_area(float ax, float ay, float bx, float by, float cx, float cy) {
    const float bax = bx - ax;
    const float cay = cy - ay;
    const float bay = by - ay;
    const float cax = cx - ax;
    return static_cast<float>(static_cast<double>(bax) * cay - static_cast<double>(bay) * cax);
}

}  // namespace planar
