// vec2_t: the single-precision planar vector with its arithmetic, measures and heading operations.
#pragma once

#include <cmath>
#include <string>

#include "math/planar_angle.h"
#include "math/single_scalar.h"

// Plain float arithmetic throughout: every operation rounds to single as it goes. The only
// wider intermediates are the ones commented on (reciprocal of a length, 1 - t of blend,
// the planar area).
struct vec2_t {
    float x = 0.0f;
    float y = 0.0f;

    constexpr vec2_t() = default;
    constexpr vec2_t(float x_, float y_) : x(x_), y(y_) {}

    constexpr vec2_t& operator+=(const vec2_t& b) {
        x += b.x;
        y += b.y;
        return *this;
    }
    constexpr vec2_t& operator-=(const vec2_t& b) {
        x -= b.x;
        y -= b.y;
        return *this;
    }
    constexpr vec2_t& operator*=(float s) {
        x *= s;
        y *= s;
        return *this;
    }
    vec2_t& operator/=(float s);
    vec2_t& negate() {
        x = -x;
        y = -y;
        return *this;
    }

    vec2_t& normalise();
    vec2_t& clamp_length(float limit);
    vec2_t& reflect(const vec2_t& normal);

    vec2_t& set_heading(float theta) {
        planar::set_heading(x, y, theta);
        return *this;
    }
    vec2_t& set_heading_degrees(float degrees) {
        planar::set_heading_degrees(x, y, degrees);
        return *this;
    }
    vec2_t& turn(float delta) {
        planar::turn(x, y, delta);
        return *this;
    }
    vec2_t& face_towards(const vec2_t& target);
    vec2_t& rotate(float theta) {
        planar::rotate(x, y, theta);
        return *this;
    }
    vec2_t& rotate_about(const vec2_t& pivot, float theta) {
        planar::rotate_about(x, y, pivot.x, pivot.y, theta);
        return *this;
    }
};

constexpr vec2_t operator+(const vec2_t& a, const vec2_t& b) { return {a.x + b.x, a.y + b.y}; }
constexpr vec2_t operator-(const vec2_t& a, const vec2_t& b) { return {a.x - b.x, a.y - b.y}; }
constexpr vec2_t operator*(const vec2_t& a, float s) { return {a.x * s, a.y * s}; }
// No guard: a zero divisor gives infinities, or NaN for a zero component.
constexpr vec2_t operator/(const vec2_t& a, float s) { return {a.x / s, a.y / s}; }

constexpr vec2_t add(const vec2_t& a, const vec2_t& b) { return a + b; }
constexpr vec2_t subtract(const vec2_t& a, const vec2_t& b) { return a - b; }
constexpr vec2_t scale(const vec2_t& a, float s) { return a * s; }
constexpr vec2_t divide(const vec2_t& a, float s) { return a / s; }

// Per component -1.0 where a and b are exactly equal, 0.0 where they differ (NaN differs).
constexpr vec2_t equals(const vec2_t& a, const vec2_t& b) {
    return {a.x == b.x ? -1.0f : 0.0f, a.y == b.y ? -1.0f : 0.0f};
}

constexpr float dot(const vec2_t& a, const vec2_t& b) { return a.x * b.x + a.y * b.y; }
constexpr float perp_dot(const vec2_t& a, const vec2_t& b) { return a.x * b.y - a.y * b.x; }
inline float length(const vec2_t& a) { return std::sqrt(dot(a, a)); }
inline float distance(const vec2_t& a, const vec2_t& b) { return length(b - a); }

inline float doubled_signed_area(const vec2_t& a, const vec2_t& b, const vec2_t& c) {
    return planar::doubled_signed_area(a.x, a.y, b.x, b.y, c.x, c.y);
}

// a * t + b * (1 - t): b at t = 0, a at t = 1 (the reverse of lerp). 1 - t is formed in
// double and rounded once.
inline vec2_t blend(const vec2_t& a, const vec2_t& b, float t) {
    const float u = static_cast<float>(1.0 - static_cast<double>(t));
    return a * t + b * u;
}

inline float heading(const vec2_t& a) { return planar::heading(a.x, a.y); }
inline float heading_degrees(const vec2_t& a) { return planar::heading_degrees(a.x, a.y); }
// Heading of b - a, not wrapped: -pi to pi.
inline float heading_to(const vec2_t& a, const vec2_t& b) { return heading(b - a); }
inline vec2_t direction_to(const vec2_t& a, const vec2_t& b) {
    vec2_t d = b - a;
    planar::direction(d.x, d.y);
    return d;
}

// Divide in place guards its divisor, unlike operator/: zero or NaN is taken as 1.0, so
// the vector is left as it was.
inline vec2_t& vec2_t::operator/=(float s) {
    if (s == 0.0f || std::isnan(s)) {
        s = 1.0f;
    }
    x /= s;
    y /= s;
    return *this;
}

// Below 1.0e-6 (and for NaN) the vector becomes zero; otherwise it is multiplied by the
// reciprocal of its length, formed in double and rounded once.
inline vec2_t& vec2_t::normalise() {
    const float len = length(*this);
    if (!(len >= single::min_length)) {
        x = 0.0f;
        y = 0.0f;
        return *this;
    }
    return *this *= static_cast<float>(1.0 / static_cast<double>(len));
}

// Only a length strictly above the limit is cut back.
inline vec2_t& vec2_t::clamp_length(float limit) {
    if (length(*this) > limit) {
        normalise();
        *this *= limit;
    }
    return *this;
}

// The normal need not be unit length: a normalised copy of it is used.
inline vec2_t& vec2_t::reflect(const vec2_t& normal) {
    vec2_t n = normal;
    n.normalise();
    return *this -= n * (2.0f * dot(n, *this));
}

// Uses this vector's planar length with the heading of target - *this (see planar_angle.h
// for why the written angle is not the read one).
inline vec2_t& vec2_t::face_towards(const vec2_t& target) { return set_heading(heading(target - *this)); }

// "(x, y)" and " x y", numbers as the runtime's single-to-string writes them.
std::string to_string(const vec2_t& a);
std::string to_spaced_string(const vec2_t& a);
