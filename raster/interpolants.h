// interpolants_t: the values a triangle interpolates (colour, z, shade, u/w, v/w, 1/w) as one record of floats.
#pragma once

#include "math/vec4.h"

// Positions in the record. The colour channels come first and in vec4_t order (red, green,
// blue, alpha: x, y, z, w); z and shade follow, so the six values a vertex-colour span reads
// are contiguous; the three texture quantities come last.
namespace interpolant {
enum index : int { red, green, blue, alpha, z, shade, u_over_w, v_over_w, one_over_w, count };
inline constexpr int colour_channels = 4;
// The values an untextured span reads (colour, z, shade). Vertex-colour and wireframe
// triangles set up and step only these; the texture quantities after them stay unused.
inline constexpr int untextured_count = shade + 1;
}  // namespace interpolant

// One value per quantity: the values at a vertex, on an edge or at a pixel, or their steps
// per pixel or per row. Every formula that combines records treats the colour channels as
// vec4_t arithmetic does (single precision, rounded after each operation) and the scalars
// as the set-up does (evaluated in double, rounded once), so one loop over the record gives
// the bits that the quantity-by-quantity formulas give.
struct interpolants_t {
    float at[interpolant::count] = {};

    float& operator[](int i) { return at[i]; }
    float operator[](int i) const { return at[i]; }
    vec4_t colour() const {
        return vec4_t(at[interpolant::red], at[interpolant::green], at[interpolant::blue], at[interpolant::alpha]);
    }
    void set_colour(const vec4_t& c) {
        at[interpolant::red] = c.x;
        at[interpolant::green] = c.y;
        at[interpolant::blue] = c.z;
        at[interpolant::alpha] = c.w;
    }

    // One step: each of the first n values gains its step, in single precision.
    template <int n = interpolant::count>
    void step(const interpolants_t& d) {
        for (int i = 0; i < n; ++i) at[i] += d.at[i];
    }
};

// out = base + rate * distance: the colour in single precision (rate * distance rounded, then
// the sum), the scalars in double rounded once. This is a span's start half a pixel right of
// its edge (distance = pre) and an edge's step per row (base = d/dy, rate = d/dx, distance =
// x_step). Only the first n values are written, each straight into its place: a record built
// aside and copied over would be read back wider than it was written, which stalls.
template <int n = interpolant::count>
inline void move_into(interpolants_t& out, const interpolants_t& base, const interpolants_t& rate, float distance) {
    for (int i = 0; i < interpolant::colour_channels; ++i) out.at[i] = base.at[i] + rate.at[i] * distance;
    for (int i = interpolant::colour_channels; i < n; ++i) {
        out.at[i] = static_cast<float>(static_cast<double>(base.at[i]) + static_cast<double>(distance) * rate.at[i]);
    }
}

// value + step * n in double, rounded once: n steps taken in one jump (n a whole number held in
// a double). It stands in for a long run of single steps only where the values may differ in
// the last bits (walks reaching absurdly far beyond the framebuffer).
inline float jumped(float value, float step, double n) {
    return static_cast<float>(static_cast<double>(value) + static_cast<double>(step) * n);
}
inline interpolants_t jumped(const interpolants_t& values, const interpolants_t& steps, double n) {
    interpolants_t r;
    for (int i = 0; i < interpolant::count; ++i) r.at[i] = jumped(values.at[i], steps.at[i], n);
    return r;
}
