// gradients_t: per-vertex values and screen-space gradients of everything a triangle interpolates.
#pragma once

#include "geometry/vertex.h"
#include "math/vec4.h"

// Index 0 is the top vertex, 1 the middle and 2 the bottom one. Scalar formulas are evaluated
// from single-precision differences in double and rounded to single once per stored value;
// the colour uses vec4_t operations, which round after each step.
struct gradients_t {
    vec4_t colour[3];
    vec4_t d_colour_dx;
    vec4_t d_colour_dy;
    float u_over_w[3] = {};
    float v_over_w[3] = {};
    float d_u_over_w_dx = 0.0f;
    float d_u_over_w_dy = 0.0f;
    float d_v_over_w_dx = 0.0f;
    float d_v_over_w_dy = 0.0f;
    float one_over_w[3] = {};
    float d_one_over_w_dx = 0.0f;
    float d_one_over_w_dy = 0.0f;
    float z[3] = {};
    float d_z_dx = 0.0f;
    float d_z_dy = 0.0f;
    float shade[3] = {};
    float d_shade_dx = 0.0f;
    float d_shade_dy = 0.0f;

    gradients_t(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom);

    vec4_t get_colour(int i) const { return colour[i]; }
    vec4_t get_d_colour_dx() const { return d_colour_dx; }
    vec4_t get_d_colour_dy() const { return d_colour_dy; }
    float get_u_over_w(int i) const { return u_over_w[i]; }
    float get_v_over_w(int i) const { return v_over_w[i]; }
    float get_d_u_over_w_dx() const { return d_u_over_w_dx; }
    float get_d_u_over_w_dy() const { return d_u_over_w_dy; }
    float get_d_v_over_w_dx() const { return d_v_over_w_dx; }
    float get_d_v_over_w_dy() const { return d_v_over_w_dy; }
    float get_one_over_w(int i) const { return one_over_w[i]; }
    float get_d_one_over_w_dx() const { return d_one_over_w_dx; }
    float get_d_one_over_w_dy() const { return d_one_over_w_dy; }
    float get_z(int i) const { return z[i]; }
    float get_d_z_dx() const { return d_z_dx; }
    float get_d_z_dy() const { return d_z_dy; }
    float get_shade(int i) const { return shade[i]; }
    float get_d_shade_dx() const { return d_shade_dx; }
    float get_d_shade_dy() const { return d_shade_dy; }
};

// Lighting factor of a normal under the fixed light (0, 0, 1, 1): the four-component dot
// product clamped to 0..1 (NaN counts as 0), mapped to 0.1..1.0.
float shade_of_normal(const vec4_t& normal);
