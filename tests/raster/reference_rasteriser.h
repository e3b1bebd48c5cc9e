// A slow, obvious triangle filler written straight from the rules, held against the fast one.
#pragma once

#include <cmath>
#include <cstdint>

#include "math/nearest.h"
#include "raster/edge.h"
#include "raster/gradients.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

namespace reference {

// nearest() for the moderate coordinates the reference is fed.
inline int64_t round_even(float v) { return static_cast<int64_t>(std::nearbyint(v)); }

inline void span(screen_t& s, const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y,
                 const texture_t& tex) {
    const float xs = left.x + 0.5f;
    const float xe = right.x + 0.5f;
    const float pre = xs - left.x;
    // Start values at xs: a + pre * d, rounded once.
    const auto start = [pre](float a, float d) { return static_cast<float>(a + static_cast<double>(pre) * d); };
    vec4_t col = left.get_colour() + g.get_d_colour_dx() * pre;
    float uw = start(left.get_u_over_w(), g.get_d_u_over_w_dx()),
          vw = start(left.get_v_over_w(), g.get_d_v_over_w_dx());
    float ow = start(left.get_one_over_w(), g.get_d_one_over_w_dx()), z = start(left.get_z(), g.get_d_z_dx()),
          shade = start(left.get_shade(), g.get_d_shade_dx());
    const auto plot = [&](int64_t x) {
        s.draw_pixel(static_cast<uint32_t>(x), static_cast<uint32_t>(y), channel_to_byte(col.w), channel_to_byte(col.x),
                     channel_to_byte(col.y), channel_to_byte(col.z), shade);
    };
    if (s.wireframe) {
        plot(round_even(xs));
        plot(round_even(xe));
        return;
    }
    for (int64_t x = round_even(xs); x <= round_even(xe - 1.0f); ++x) {
        if (x >= 0 && x < s.width && y >= 0 && static_cast<uint32_t>(y) < s.height) {
            float& depth = s.zbuffer[static_cast<size_t>(y) * s.width + static_cast<size_t>(x)];
            if (!(z >= depth) && !(col.w >= 1.0f)) {
                depth = z;
                if (s.textured) {
                    const float w = 1.0f / ow, u = w * uw, v = w * vw;
                    const uint32_t tx = texel_coordinate(u * tex.width + 0.5f) % tex.width;
                    const uint32_t ty = texel_coordinate(v * tex.height + 0.5f) % tex.height;
                    s.draw_texel(static_cast<int32_t>(x), y, static_cast<int32_t>(tx), static_cast<int32_t>(ty), tex,
                                 col, shade);
                } else {
                    plot(x);
                }
                ++s.pixel_count;
            }
        }
        uw += g.get_d_u_over_w_dx();
        vw += g.get_d_v_over_w_dx();
        ow += g.get_d_one_over_w_dx();
        col += g.get_d_colour_dx();
        z += g.get_d_z_dx();
        shade += g.get_d_shade_dx();
    }
}

inline void triangle(screen_t& s, const vertex_t& top, const vertex_t& mid, const vertex_t& bot, int32_t mil,
                     const texture_t& tex) {
    const gradients_t g(top, mid, bot);
    edge_t long_edge(g, top, bot, 0), upper(g, top, mid, 0), lower(g, mid, bot, 1);
    // One long edge for both halves; the rows come from the short edge.
    for (edge_t* short_edge : {&upper, &lower}) {
        edge_t& left = mil ? *short_edge : long_edge;
        edge_t& right = mil ? long_edge : *short_edge;
        for (int64_t y = round_even(short_edge->y); y <= round_even(short_edge->y_end) - 1; ++y) {
            span(s, g, left, right, static_cast<int32_t>(y), tex);
            left.step();
            right.step();
        }
    }
    ++s.triangle_count;
}

}  // namespace reference
