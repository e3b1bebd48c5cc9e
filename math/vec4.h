// vec4_t: the single-precision homogeneous vector behind positions, colours and texture coordinates.
#pragma once

#include <cmath>
#include <string>

#include "math/planar_angle.h"
#include "math/single_scalar.h"

// Every component is a float and every operation rounds its result to single precision,
// one operation at a time; the renderer's exactness depends on that, so nothing here may
// widen an intermediate unless a comment says the rule asks for it.
//
// Unless an operation says otherwise it acts on all four components, w included: the
// renderer interpolates colours (alpha in w) and 1/w-carrying positions with these.
struct vec4_t {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    constexpr vec4_t() = default;
    constexpr vec4_t(float x_, float y_, float z_) : x(x_), y(y_), z(z_), w(1.0f) {}
    constexpr vec4_t(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    constexpr float get_x() const { return x; }
    constexpr float get_y() const { return y; }
    constexpr float get_z() const { return z; }
    constexpr float get_w() const { return w; }
    constexpr vec4_t& set_x(float v) {
        x = v;
        return *this;
    }
    constexpr vec4_t& set_y(float v) {
        y = v;
        return *this;
    }
    constexpr vec4_t& set_z(float v) {
        z = v;
        return *this;
    }
    constexpr vec4_t& set_w(float v) {
        w = v;
        return *this;
    }

    // add in place: all four components, w included.
    constexpr vec4_t& operator+=(const vec4_t& b) {
        x += b.x;
        y += b.y;
        z += b.z;
        w += b.w;
        return *this;
    }

    // Turns the direction around but keeps w, so a point stays a point.
    constexpr vec4_t& negate() {
        x = -x;
        y = -y;
        z = -z;
        return *this;
    }

    vec4_t& clamp_length(float limit);

    // Planar operations: x and y only; z and w are neither read nor changed.
    vec4_t& set_heading(float theta) {
        planar::set_heading(x, y, theta);
        return *this;
    }
    vec4_t& set_heading_degrees(float degrees) {
        planar::set_heading_degrees(x, y, degrees);
        return *this;
    }
    vec4_t& rotate(float theta) {
        planar::rotate(x, y, theta);
        return *this;
    }
    vec4_t& rotate_about(const vec4_t& pivot, float theta) {
        planar::rotate_about(x, y, pivot.x, pivot.y, theta);
        return *this;
    }
};

// add, subtract and scale act on all four components, w included.
constexpr vec4_t operator+(const vec4_t& a, const vec4_t& b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
constexpr vec4_t operator-(const vec4_t& a, const vec4_t& b) { return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w}; }
constexpr vec4_t operator*(const vec4_t& a, float s) { return {a.x * s, a.y * s, a.z * s, a.w * s}; }
constexpr vec4_t operator+(const vec4_t& a, float s) { return {a.x + s, a.y + s, a.z + s, a.w + s}; }
constexpr vec4_t operator-(const vec4_t& a, float s) { return {a.x - s, a.y - s, a.z - s, a.w - s}; }
// Component by component; neither division is guarded: a zero divisor gives IEEE
// infinities, or NaN where the dividend is zero too.
constexpr vec4_t operator*(const vec4_t& a, const vec4_t& b) { return {a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w}; }
constexpr vec4_t operator/(const vec4_t& a, const vec4_t& b) { return {a.x / b.x, a.y / b.y, a.z / b.z, a.w / b.w}; }
constexpr vec4_t operator/(const vec4_t& a, float s) { return {a.x / s, a.y / s, a.z / s, a.w / s}; }

constexpr vec4_t add(const vec4_t& a, const vec4_t& b) { return a + b; }
constexpr vec4_t add(const vec4_t& a, float s) { return a + s; }
constexpr vec4_t subtract(const vec4_t& a, const vec4_t& b) { return a - b; }
constexpr vec4_t subtract(const vec4_t& a, float s) { return a - s; }
constexpr vec4_t scale(const vec4_t& a, float s) { return a * s; }
constexpr vec4_t multiply(const vec4_t& a, const vec4_t& b) { return a * b; }
constexpr vec4_t divide(const vec4_t& a, const vec4_t& b) { return a / b; }
constexpr vec4_t divide(const vec4_t& a, float s) { return a / s; }

// Four-component dot product, accumulated in the order x, y, z, w.
constexpr float dot(const vec4_t& a, const vec4_t& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

inline float length(const vec4_t& a) { return std::sqrt(dot(a, a)); }
inline float distance(const vec4_t& a, const vec4_t& b) { return length(b - a); }

// The operands' w is ignored and the result is a direction: w = 0.
constexpr vec4_t cross(const vec4_t& a, const vec4_t& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0.0f};
}

// From x and y only.
inline float doubled_signed_area(const vec4_t& a, const vec4_t& b, const vec4_t& c) {
    return planar::doubled_signed_area(a.x, a.y, b.x, b.y, c.x, c.y);
}

// (b - a) * t + a: a at t = 0, b at t = 1, every component.
constexpr vec4_t lerp(const vec4_t& a, const vec4_t& b, float t) { return (b - a) * t + a; }

// a * t + b * (1 - t): b at t = 0, a at t = 1 (the reverse of lerp). 1 - t is formed in
// double and rounded once.
inline vec4_t blend(const vec4_t& a, const vec4_t& b, float t) {
    const float u = static_cast<float>(1.0 - static_cast<double>(t));
    return a * t + b * u;
}

// Copy scaled to unit length over all four components. Below 1.0e-6 (and for NaN) the
// result is the zero vector; the reciprocal is formed in double and rounded once.
inline vec4_t normalised(const vec4_t& a) {
    const float len = length(a);
    if (!(len >= single::min_length)) {
        return {0.0f, 0.0f, 0.0f, 0.0f};
    }
    const float inv = static_cast<float>(1.0 / static_cast<double>(len));
    return a * inv;
}

// Only a length (w included) strictly above the limit is cut back.
inline vec4_t& vec4_t::clamp_length(float limit) {
    if (length(*this) > limit) {
        *this = normalised(*this) * limit;
    }
    return *this;
}

inline float heading(const vec4_t& a) { return planar::heading(a.x, a.y); }
inline float heading_degrees(const vec4_t& a) { return planar::heading_degrees(a.x, a.y); }
// Heading of b - a, not wrapped: -pi to pi.
inline float heading_to(const vec4_t& a, const vec4_t& b) { return heading(b - a); }
// b - a with its x and y replaced by the unit planar direction; z and w stay those of b - a.
inline vec4_t direction_to(const vec4_t& a, const vec4_t& b) {
    vec4_t d = b - a;
    planar::direction(d.x, d.y);
    return d;
}

// " x y z w", numbers as the runtime's single-to-string writes them.
std::string to_string(const vec4_t& a);
