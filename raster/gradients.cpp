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

float shade_of_normal(const vec4_t& normal, const vec4_t& light) {
    const float lit = dot(normal, light);
    float clamped = 0.0f;  // negative values and NaN
    if (lit > 1.0f) {
        clamped = 1.0f;
    } else if (lit >= 0.0f) {
        clamped = lit;
    }
    return static_cast<float>(static_cast<double>(clamped) * 0.9 + 0.1);
}

gradients_t::gradients_t(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom) {
    set_up<interpolant::count>(top, middle, bottom);
}

template <int n>
void gradients_t::set_up(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, const vec4_t& light) {
    const vertex_t* v[3] = {&top, &middle, &bottom};
    for (int i = 0; i < 3; ++i) {
        interpolants_t& a = vertex[i];
        a.set_colour(v[i]->colour);
        a[interpolant::z] = v[i]->position.z;
        a[interpolant::shade] = shade_of_normal(v[i]->normal, light);
        if constexpr (n > interpolant::untextured_count) {
            a[interpolant::one_over_w] = 1.0f / v[i]->position.w;
            a[interpolant::u_over_w] = v[i]->texcoord.x * a[interpolant::one_over_w];
            a[interpolant::v_over_w] = v[i]->texcoord.y * a[interpolant::one_over_w];
        }
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

    const interpolants_t &a0 = vertex[0], &a1 = vertex[1], &a2 = vertex[2];
    for (int i = 0; i < interpolant::colour_channels; ++i) {
        d_dx[i] = ((a1[i] - a2[i]) * y02 - (a0[i] - a2[i]) * y12) * one_over_dx;
        d_dy[i] = ((a1[i] - a2[i]) * x02 - (a0[i] - a2[i]) * x12) * one_over_dy;
    }
    for (int i = interpolant::colour_channels; i < n; ++i) {
        d_dx[i] = plane_gradient(y02, y12, a0[i], a1[i], a2[i], one_over_dx);
        d_dy[i] = plane_gradient(x02, x12, a0[i], a1[i], a2[i], one_over_dy);
    }
}

template void gradients_t::set_up<interpolant::count>(const vertex_t&, const vertex_t&, const vertex_t&, const vec4_t&);
template void gradients_t::set_up<interpolant::untextured_count>(const vertex_t&, const vertex_t&, const vertex_t&,
                                                                 const vec4_t&);
