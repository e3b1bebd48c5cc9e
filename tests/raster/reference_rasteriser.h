// A slow, obvious triangle filler written straight from the rules, held against the fast one.
#pragma once

#include <cmath>
#include <cstdint>

#include "raster/edge.h"
#include "raster/gradients.h"
#include "raster/nearest.h"
#include "target/screen.h"
#include "target/texture.h"

namespace reference {

// nearest() for the moderate coordinates the reference is fed.
inline int64_t round_even(float v) { return static_cast<int64_t>(std::nearbyint(v)); }

inline void span(screen_t& s, const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y,
                 const texture_t& tex) {
    const float xs = left.x + 0.5f;
    const float xe = right.x + 0.5f;
    const float pre = xs - left.x;
    vec4_t col = left.colour + g.d_colour_dx * pre;
    float uw = static_cast<float>(left.u_over_w + static_cast<double>(pre) * g.d_u_over_w_dx);
    float vw = static_cast<float>(left.v_over_w + static_cast<double>(pre) * g.d_v_over_w_dx);
    float ow = static_cast<float>(left.one_over_w + static_cast<double>(pre) * g.d_one_over_w_dx);
    float z = static_cast<float>(left.z + static_cast<double>(pre) * g.d_z_dx);
    float shade = static_cast<float>(left.shade + static_cast<double>(pre) * g.d_shade_dx);
    if (s.wireframe) {
        const auto a = channel_to_byte(col.w), r = channel_to_byte(col.x);
        const auto gr = channel_to_byte(col.y), b = channel_to_byte(col.z);
        s.draw_pixel(static_cast<uint32_t>(round_even(xs)), static_cast<uint32_t>(y), a, r, gr, b, shade);
        s.draw_pixel(static_cast<uint32_t>(round_even(xe)), static_cast<uint32_t>(y), a, r, gr, b, shade);
        return;
    }
    for (int64_t x = round_even(xs); x <= round_even(xe - 1.0f); ++x) {
        const bool inside = x >= 0 && x < s.width && y >= 0 && static_cast<uint32_t>(y) < s.height;
        if (inside) {
            float& depth = s.zbuffer[static_cast<size_t>(y) * s.width + static_cast<size_t>(x)];
            if (!(z >= depth) && !(col.w >= 1.0f)) {
                depth = z;
                if (s.textured) {
                    const float w = 1.0f / ow;
                    const float u = w * uw;
                    const float v = w * vw;
                    const uint32_t tx = wrapped_texel_coordinate(u * tex.width + 0.5f) % tex.width;
                    const uint32_t ty = wrapped_texel_coordinate(v * tex.height + 0.5f) % tex.height;
                    s.draw_texel(static_cast<int32_t>(x), y, static_cast<int32_t>(tx), static_cast<int32_t>(ty), tex,
                                 col, shade);
                } else {
                    s.draw_pixel(static_cast<uint32_t>(x), static_cast<uint32_t>(y), channel_to_byte(col.w),
                                 channel_to_byte(col.x), channel_to_byte(col.y), channel_to_byte(col.z), shade);
                }
                ++s.pixel_count;
            }
        }
        uw += g.d_u_over_w_dx;
        vw += g.d_v_over_w_dx;
        ow += g.d_one_over_w_dx;
        col += g.d_colour_dx;
        z += g.d_z_dx;
        shade += g.d_shade_dx;
    }
}

inline void half(screen_t& s, const gradients_t& g, edge_t& long_edge, edge_t& short_edge, int32_t mil,
                 const texture_t& tex) {
    edge_t& left = mil ? short_edge : long_edge;
    edge_t& right = mil ? long_edge : short_edge;
    for (int64_t y = round_even(short_edge.y); y <= round_even(short_edge.y_end) - 1; ++y) {
        span(s, g, left, right, static_cast<int32_t>(y), tex);
        left.step();
        right.step();
    }
}

inline void triangle(screen_t& s, const vertex_t& top, const vertex_t& mid, const vertex_t& bot, int32_t mil,
                     const texture_t& tex) {
    const gradients_t g(top, mid, bot);
    edge_t long_edge(g, top, bot, 0);
    edge_t upper(g, top, mid, 0);
    edge_t lower(g, mid, bot, 1);
    half(s, g, long_edge, upper, mil, tex);
    half(s, g, long_edge, lower, mil, tex);
    ++s.triangle_count;
}

}  // namespace reference
