// gradients_t: per-vertex values and screen-space gradients of everything a triangle interpolates.
#pragma once

#include "geometry/vertex.h"
#include "math/vec4.h"
#include "raster/interpolants.h"
#include "surfaces/light.h"

// Index 0 is the top vertex, 1 the middle and 2 the bottom one. Scalar formulas are evaluated
// from single-precision differences in double and rounded to single once per stored value;
// the colour uses vec4_t operations, which round after each step.
struct gradients_t {
    interpolants_t vertex[3];  // the values at the three vertices
    interpolants_t d_dx;       // change per pixel step in +x
    interpolants_t d_dy;       // change per row step in +y

    gradients_t() = default;
    gradients_t(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom);

    // The same values for the first n quantities only (interpolant::count, or
    // interpolant::untextured_count for a triangle drawn without texture); the rest stay zero.
    // The shade comes from the light given (surfaces/light.h).
    template <int n>
    void set_up(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                const vec4_t& light = default_light);

    vec4_t get_colour(int i) const { return vertex[i].colour(); }
    vec4_t get_d_colour_dx() const { return d_dx.colour(); }
    vec4_t get_d_colour_dy() const { return d_dy.colour(); }
    float get_u_over_w(int i) const { return vertex[i][interpolant::u_over_w]; }
    float get_v_over_w(int i) const { return vertex[i][interpolant::v_over_w]; }
    float get_d_u_over_w_dx() const { return d_dx[interpolant::u_over_w]; }
    float get_d_u_over_w_dy() const { return d_dy[interpolant::u_over_w]; }
    float get_d_v_over_w_dx() const { return d_dx[interpolant::v_over_w]; }
    float get_d_v_over_w_dy() const { return d_dy[interpolant::v_over_w]; }
    float get_one_over_w(int i) const { return vertex[i][interpolant::one_over_w]; }
    float get_d_one_over_w_dx() const { return d_dx[interpolant::one_over_w]; }
    float get_d_one_over_w_dy() const { return d_dy[interpolant::one_over_w]; }
    float get_z(int i) const { return vertex[i][interpolant::z]; }
    float get_d_z_dx() const { return d_dx[interpolant::z]; }
    float get_d_z_dy() const { return d_dy[interpolant::z]; }
    float get_shade(int i) const { return vertex[i][interpolant::shade]; }
    float get_d_shade_dx() const { return d_dx[interpolant::shade]; }
    float get_d_shade_dy() const { return d_dy[interpolant::shade]; }
};

// Lighting factor of a normal under the light, by default the demo's fixed (0, 0, 1, 1): the
// four-component dot product clamped to 0..1 (NaN counts as 0), mapped to 0.1..1.0.
float shade_of_normal(const vec4_t& normal, const vec4_t& light = default_light);
