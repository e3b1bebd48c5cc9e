// Triangle set-up: the per-vertex values and the plane of each interpolated quantity.
#include "raster/gradients.h"

namespace {

// ((y0 - y2)(a1 - a2) - (y1 - y2)(a0 - a2)) * scale with the differences in single, the
// rest in double, rounded once. The same shape serves both gradients, with x for y in dy.
float plane_gradient(float d02, float d12, float a0, float a1, float a2, float scale) {
    const float a12 = a1 - a2;
    const float a02 = a0 - a2;
    return static_cast<float>((static_cast<double>(d02) * a12 - static_cast<double>(d12) * a02) * scale);
}

}  // namespace

float shade_of_normal(const vec4_t& normal) {
    const float light = dot(normal, vec4_t(0.0f, 0.0f, 1.0f, 1.0f));
    float clamped = 0.0f;  // negative values and NaN
    if (light > 1.0f) {
        clamped = 1.0f;
    } else if (light >= 0.0f) {
        clamped = light;
    }
    return static_cast<float>(static_cast<double>(clamped) * 0.9 + 0.1);
}

gradients_t::gradients_t(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom) {
    const vertex_t* v[3] = {&top, &middle, &bottom};
    for (int i = 0; i < 3; ++i) {
        colour[i] = v[i]->colour;
        z[i] = v[i]->position.z;
        shade[i] = shade_of_normal(v[i]->normal);
        one_over_w[i] = 1.0f / v[i]->position.w;
        u_over_w[i] = v[i]->texcoord.x * one_over_w[i];
        v_over_w[i] = v[i]->texcoord.y * one_over_w[i];
    }

    const float x0 = top.position.x, y0 = top.position.y;
    const float x1 = middle.position.x, y1 = middle.position.y;
    const float x2 = bottom.position.x, y2 = bottom.position.y;
    const float x12 = x1 - x2, y02 = y0 - y2, x02 = x0 - x2, y12 = y1 - y2;

    // No test for a zero determinant: a collinear triangle gets infinite or NaN gradients,
    // and the span filler is written to cope with them.
    const float det = static_cast<float>(static_cast<double>(x12) * y02 - static_cast<double>(x02) * y12);
    const float one_over_dx = 1.0f / det;
    const float one_over_dy = -one_over_dx;

    d_colour_dx = ((colour[1] - colour[2]) * y02 - (colour[0] - colour[2]) * y12) * one_over_dx;
    d_colour_dy = ((colour[1] - colour[2]) * x02 - (colour[0] - colour[2]) * x12) * one_over_dy;

    d_u_over_w_dx = plane_gradient(y02, y12, u_over_w[0], u_over_w[1], u_over_w[2], one_over_dx);
    d_u_over_w_dy = plane_gradient(x02, x12, u_over_w[0], u_over_w[1], u_over_w[2], one_over_dy);
    d_v_over_w_dx = plane_gradient(y02, y12, v_over_w[0], v_over_w[1], v_over_w[2], one_over_dx);
    d_v_over_w_dy = plane_gradient(x02, x12, v_over_w[0], v_over_w[1], v_over_w[2], one_over_dy);
    d_one_over_w_dx = plane_gradient(y02, y12, one_over_w[0], one_over_w[1], one_over_w[2], one_over_dx);
    d_one_over_w_dy = plane_gradient(x02, x12, one_over_w[0], one_over_w[1], one_over_w[2], one_over_dy);
    d_z_dx = plane_gradient(y02, y12, z[0], z[1], z[2], one_over_dx);
    d_z_dy = plane_gradient(x02, x12, z[0], z[1], z[2], one_over_dy);
    d_shade_dx = plane_gradient(y02, y12, shade[0], shade[1], shade[2], one_over_dx);
    d_shade_dy = plane_gradient(x02, x12, shade[0], shade[1], shade[2], one_over_dy);
}
