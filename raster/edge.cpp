// Edge construction and long jumps.
#include "raster/edge.h"

namespace {

// dA/dy + dA/dx * x_step, evaluated in double and rounded once.
float along_edge(float d_dy, float d_dx, float x_step) {
    return static_cast<float>(static_cast<double>(d_dy) + static_cast<double>(d_dx) * x_step);
}

float jumped(float value, float step, double rows) {
    return static_cast<float>(static_cast<double>(value) + static_cast<double>(step) * rows);
}

}  // namespace

edge_t::edge_t(const gradients_t& g, const vertex_t& start, const vertex_t& end, int k) {
    y = start.position.y;
    y_end = end.position.y;
    // No guard: a flat edge gets an infinite or NaN step, and spans no row.
    x_step = (end.position.x - start.position.x) / (end.position.y - start.position.y);
    x = start.position.x;
    u_over_w = g.u_over_w[k];
    u_over_w_step = along_edge(g.d_u_over_w_dy, g.d_u_over_w_dx, x_step);
    v_over_w = g.v_over_w[k];
    v_over_w_step = along_edge(g.d_v_over_w_dy, g.d_v_over_w_dx, x_step);
    one_over_w = g.one_over_w[k];
    one_over_w_step = along_edge(g.d_one_over_w_dy, g.d_one_over_w_dx, x_step);
    z = g.z[k];
    z_step = along_edge(g.d_z_dy, g.d_z_dx, x_step);
    shade = g.shade[k];
    shade_step = along_edge(g.d_shade_dy, g.d_shade_dx, x_step);
    colour = g.colour[k];
    colour_step = g.d_colour_dy + g.d_colour_dx * x_step;
}

void edge_t::advance(double rows) {
    if (rows <= exact_step_limit) {
        const auto n = static_cast<int32_t>(rows);
        for (int32_t i = 0; i < n; ++i) step();
        return;
    }
    x = jumped(x, x_step, rows);
    colour = vec4_t(jumped(colour.x, colour_step.x, rows), jumped(colour.y, colour_step.y, rows),
                    jumped(colour.z, colour_step.z, rows), jumped(colour.w, colour_step.w, rows));
    u_over_w = jumped(u_over_w, u_over_w_step, rows);
    v_over_w = jumped(v_over_w, v_over_w_step, rows);
    one_over_w = jumped(one_over_w, one_over_w_step, rows);
    z = jumped(z, z_step, rows);
    shade = jumped(shade, shade_step, rows);
}
