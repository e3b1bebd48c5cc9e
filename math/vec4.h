// vec4_t: the single-precision homogeneous vector behind positions, colours and texture coordinates.
#pragma once

#include <cmath>

// Every component is a float and every operation rounds its result to single precision,
// one operation at a time; the renderer's exactness depends on that, so nothing here may
// widen an intermediate unless a comment says the rule asks for it.
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
    constexpr vec4_t& set_x(float v) { x = v; return *this; }
    constexpr vec4_t& set_y(float v) { y = v; return *this; }
    constexpr vec4_t& set_z(float v) { z = v; return *this; }
    constexpr vec4_t& set_w(float v) { w = v; return *this; }

    // add in place: all four components, w included.
    constexpr vec4_t& operator+=(const vec4_t& b) {
        x += b.x; y += b.y; z += b.z; w += b.w;
        return *this;
    }
};

// add, subtract and scale act on all four components, w included.
constexpr vec4_t operator+(const vec4_t& a, const vec4_t& b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
constexpr vec4_t operator-(const vec4_t& a, const vec4_t& b) { return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w}; }
constexpr vec4_t operator*(const vec4_t& a, float s) { return {a.x * s, a.y * s, a.z * s, a.w * s}; }

constexpr vec4_t add(const vec4_t& a, const vec4_t& b) { return a + b; }
constexpr vec4_t subtract(const vec4_t& a, const vec4_t& b) { return a - b; }
constexpr vec4_t scale(const vec4_t& a, float s) { return a * s; }

// Four-component dot product, accumulated in the order x, y, z, w.
constexpr float dot(const vec4_t& a, const vec4_t& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

inline float length(const vec4_t& a) { return std::sqrt(dot(a, a)); }

// (b - a) * t + a: a at t = 0, b at t = 1, every component.
constexpr vec4_t lerp(const vec4_t& a, const vec4_t& b, float t) { return (b - a) * t + a; }

// Copy scaled to unit length over all four components. Below 1.0e-6 (and for NaN) the
// result is the zero vector; the reciprocal is formed in double and rounded once.
inline vec4_t normalised(const vec4_t& a) {
    const float len = length(a);
    if (!(len >= 1.0e-6f)) {
        return {0.0f, 0.0f, 0.0f, 0.0f};
    }
    const float inv = static_cast<float>(1.0 / static_cast<double>(len));
    return a * inv;
}
