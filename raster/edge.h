// edge_t: the cursor that walks one triangle edge row by row, carrying every interpolated value.
#pragma once

#include <cstdint>

#include "geometry/vertex.h"
#include "raster/gradients.h"
#include "raster/interpolants.h"

struct edge_t {
    float x = 0.0f;
    float x_step = 0.0f;
    float y = 0.0f;         // start vertex y, unrounded
    float y_end = 0.0f;     // end vertex y, unrounded
    interpolants_t values;  // on the current row
    interpolants_t steps;   // change per row: d/dy + d/dx * x_step

    // The edge from start to end; start_index (0..2) names the start vertex in the gradients.
    // The values start as the start vertex's own: there is no sub-pixel prestep to the first row.
    edge_t(const gradients_t& g, const vertex_t& start, const vertex_t& end, int start_index);

    // The same construction in two parts, for a walk that finds the rows and columns a
    // triangle covers before it pays for the gradients: place() sets x, x_step, y and y_end,
    // start_values() the first n values and steps (see gradients_t::set_up).
    edge_t() = default;
    void place(const vertex_t& start, const vertex_t& end);
    template <int n = interpolant::count>
    void start_values(const gradients_t& g, int start_index) {
        values = g.vertex[start_index];
        move_into<n>(steps, g.d_dy, g.d_dx, x_step);
    }

    // One row down: x and every value gain their steps, in single precision.
    void step() {
        x += x_step;
        values.step(steps);
    }

    float get_x() const { return x; }
    float get_y() const { return y; }
    float get_y_end() const { return y_end; }
    float get_u_over_w() const { return values[interpolant::u_over_w]; }
    float get_v_over_w() const { return values[interpolant::v_over_w]; }
    float get_one_over_w() const { return values[interpolant::one_over_w]; }
    float get_z() const { return values[interpolant::z]; }
    float get_shade() const { return values[interpolant::shade]; }
    vec4_t get_colour() const { return values.colour(); }
};
