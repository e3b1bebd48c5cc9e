// vertex_t: position, colour, normal and texture coordinate, and the operations the pipeline applies to them.
#pragma once

#include <cmath>
#include <string>

#include "math/mat4.h"
#include "math/vec4.h"

struct vertex_t {
    vec4_t position{0.0f, 0.0f, 0.0f, 1.0f};
    vec4_t colour{1.0f, 1.0f, 1.0f, 1.0f};  // red, green, blue, alpha
    vec4_t normal{0.0f, 0.0f, 0.0f, 0.0f};
    vec4_t texcoord{0.0f, 0.0f, 0.0f, 0.0f};  // u in x, v in y

    constexpr vertex_t() = default;
    constexpr explicit vertex_t(const vec4_t& p) : position(p) {}
    constexpr vertex_t(const vec4_t& p, const vec4_t& c) : position(p), colour(c) {}
    constexpr vertex_t(const vec4_t& p, const vec4_t& c, const vec4_t& n) : position(p), colour(c), normal(n) {}
    constexpr vertex_t(const vec4_t& p, const vec4_t& c, const vec4_t& n, const vec4_t& t)
        : position(p), colour(c), normal(n), texcoord(t) {}

    constexpr float x() const { return position.x; }
    constexpr float y() const { return position.y; }
    constexpr float z() const { return position.z; }
    constexpr float w() const { return position.w; }

    // Position component by index: 0..3 give x, y, z, w; any other index gives 0.0.
    constexpr float component(int i) const {
        switch (i) {
            case 0:
                return position.x;
            case 1:
                return position.y;
            case 2:
                return position.z;
            case 3:
                return position.w;
            default:
                return 0.0f;
        }
    }
};

// Position multiplied by the matrix; the normal is replaced by its normalised copy (not
// multiplied, so lighting does not turn with the object); colour and texcoord are copied.
inline vertex_t transform(const vertex_t& v, const mat4_t& m) {
    return vertex_t(transform(m, v.position), v.colour, normalised(v.normal), v.texcoord);
}

// (x / w, y / w, z / w, w): the w is kept for perspective-correct interpolation. No guard for w = 0.
inline vertex_t perspective_divide(const vertex_t& v) {
    const vec4_t& p = v.position;
    return vertex_t(vec4_t(p.x / p.w, p.y / p.w, p.z / p.w, p.w), v.colour, v.normal, v.texcoord);
}

// Every member, all four components, interpolated with the same t.
inline vertex_t lerp(const vertex_t& a, const vertex_t& b, float t) {
    return vertex_t(lerp(a.position, b.position, t), lerp(a.colour, b.colour, t), lerp(a.normal, b.normal, t),
                    lerp(a.texcoord, b.texcoord, t));
}

// Twice the signed area of the screen triangle (a, b, c) from the x and y of the positions;
// positive when it runs clockwise on the screen (y grows down). Each difference is rounded
// to single; the two products of those singles are exact in double, so the sign of the
// once-rounded result is always right.
inline float doubled_signed_area(const vertex_t& a, const vertex_t& b, const vertex_t& c) {
    return doubled_signed_area(a.position, b.position, c.position);
}

// |x|, |y| and |z| all within |w|, bounds included.
inline bool is_inside(const vertex_t& v) {
    const float aw = std::fabs(v.position.w);
    return std::fabs(v.position.x) <= aw && std::fabs(v.position.y) <= aw && std::fabs(v.position.z) <= aw;
}

// Vertices are equal when their positions are; colour, normal and texcoord are not compared.
inline bool operator==(const vertex_t& a, const vertex_t& b) {
    return a.position.x == b.position.x && a.position.y == b.position.y && a.position.z == b.position.z &&
           a.position.w == b.position.w;
}

// " x y z w" of the position, the same form as the position's own text.
std::string to_string(const vertex_t& v);
