// Triangle filling: two halves of rows between the long edge and a short edge, one span per row.
#include "raster/rasteriser.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "raster/nearest.h"
#include "target/pixel_blend.h"
#include "target/screen.h"
#include "target/texture.h"

namespace {

// Columns left of the framebuffer are stepped one by one up to this many, so visible pixels
// get exactly the values of a full walk; spans reaching further out (absurd coordinates) jump.
constexpr double exact_column_limit = 8192.0;

// a + pre * d for a span's start value: evaluated in double and rounded once.
float span_start(float a, float pre, float d) {
    return static_cast<float>(static_cast<double>(a) + static_cast<double>(pre) * d);
}

float jumped(float value, float step, double n) {
    return static_cast<float>(static_cast<double>(value) + static_cast<double>(step) * n);
}

// A nearest() result as the unsigned coordinate draw_pixel expects: negative values become
// large numbers (two's complement) and fail its bounds test, as do NaN and huge values.
uint32_t as_pixel_coordinate(float v) {
    const float r = nearest_float(v);
    if (!(r >= -2147483648.0f && r < 2147483648.0f)) return UINT32_MAX;
    return static_cast<uint32_t>(static_cast<int32_t>(r));
}

// The span's running values, stepped once per pixel in single precision.
struct span_values_t {
    vec4_t colour;
    float u_over_w;
    float v_over_w;
    float one_over_w;
    float z;
    float shade;

    void step(const gradients_t& g) {
        u_over_w += g.d_u_over_w_dx;
        v_over_w += g.d_v_over_w_dx;
        one_over_w += g.d_one_over_w_dx;
        colour += g.d_colour_dx;
        z += g.d_z_dx;
        shade += g.d_shade_dx;
    }

    // n is a whole number held in a double (see edge_t::advance).
    void advance(const gradients_t& g, double n) {
        if (n <= exact_column_limit) {
            const auto count = static_cast<int32_t>(n);
            for (int32_t i = 0; i < count; ++i) step(g);
            return;
        }
        const vec4_t& d = g.d_colour_dx;
        colour = vec4_t(jumped(colour.x, d.x, n), jumped(colour.y, d.y, n), jumped(colour.z, d.z, n),
                        jumped(colour.w, d.w, n));
        u_over_w = jumped(u_over_w, g.d_u_over_w_dx, n);
        v_over_w = jumped(v_over_w, g.d_v_over_w_dx, n);
        one_over_w = jumped(one_over_w, g.d_one_over_w_dx, n);
        z = jumped(z, g.d_z_dx, n);
        shade = jumped(shade, g.d_shade_dx, n);
    }
};

// The texel bytes at (tx, ty), already reduced into the texture. Textures with fewer than 4
// bytes per texel are padded with zeros into scratch instead of being read past their end.
const uint8_t* texel_at(const texture_t& texture, uint32_t tx, uint32_t ty, uint8_t* scratch) {
    const uint32_t bpt = texture.get_bytes_per_texel();
    const uint8_t* src = texture.pixels + (static_cast<size_t>(ty) * texture.width + tx) * bpt;
    if (bpt >= 4) return src;
    std::memset(scratch, 0, 4);
    std::memcpy(scratch, src, bpt);
    return scratch;
}

void fill_vertex_colour(screen_t& screen, const gradients_t& g, span_values_t s, int64_t x_begin, int64_t x_end,
                        int32_t y) {
    const size_t row = static_cast<size_t>(y) * screen.width;
    float* depth = screen.zbuffer + row;
    uint8_t* pixels = screen.framebuffer + row * 4;
    vec4_t colour = s.colour;
    float z = s.z;
    float shade = s.shade;
    const vec4_t d_colour = g.d_colour_dx;
    const float d_z = g.d_z_dx;
    const float d_shade = g.d_shade_dx;
    uint32_t drawn = 0;
    // u/w, v/w and 1/w are not read in this mode, so they are not stepped either.
    for (int64_t x = x_begin; x <= x_end; ++x) {
        if (!(z >= depth[x]) && !(colour.w >= 1.0f)) {
            depth[x] = z;
            blend_vertex_colour(pixels + x * 4, channel_to_byte(colour.w), channel_to_byte(colour.x),
                                channel_to_byte(colour.y), channel_to_byte(colour.z), shade);
            ++drawn;
        }
        colour += d_colour;
        z += d_z;
        shade += d_shade;
    }
    screen.pixel_count += drawn;
}

void fill_textured(screen_t& screen, const gradients_t& g, span_values_t s, int64_t x_begin, int64_t x_end,
                   int32_t y, const texture_t& texture) {
    const size_t row = static_cast<size_t>(y) * screen.width;
    float* depth = screen.zbuffer + row;
    uint8_t* pixels = screen.framebuffer + row * 4;
    const bool has_texels = texture.pixels != nullptr && texture.width != 0 && texture.height != 0;
    const float tex_width = static_cast<float>(texture.width);
    const float tex_height = static_cast<float>(texture.height);
    const uint8_t blank[4] = {0, 0, 0, 0};
    uint8_t scratch[4];
    uint32_t drawn = 0;
    for (int64_t x = x_begin; x <= x_end; ++x) {
        if (!(s.z >= depth[x]) && !(s.colour.w >= 1.0f)) {
            depth[x] = s.z;
            const float w = 1.0f / s.one_over_w;
            const float u = w * s.u_over_w;
            const float v = w * s.v_over_w;
            const uint8_t* texel = blank;
            if (has_texels) {
                const uint32_t tx = wrapped_texel_coordinate(u * tex_width + 0.5f) % texture.width;
                const uint32_t ty = wrapped_texel_coordinate(v * tex_height + 0.5f) % texture.height;
                texel = texel_at(texture, tx, ty, scratch);
            }
            blend_texel(pixels + x * 4, texel, s.colour, s.shade);
            ++drawn;
        }
        s.step(g);
    }
    screen.pixel_count += drawn;
}

}  // namespace

void draw_span(screen_t& screen, const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y,
               const texture_t& texture) {
    const float xs = left.x + 0.5f;
    const float xe = right.x + 0.5f;
    const float pre = xs - left.x;

    span_values_t s;
    s.colour = left.colour + g.d_colour_dx * pre;
    s.u_over_w = span_start(left.u_over_w, pre, g.d_u_over_w_dx);
    s.v_over_w = span_start(left.v_over_w, pre, g.d_v_over_w_dx);
    s.one_over_w = span_start(left.one_over_w, pre, g.d_one_over_w_dx);
    s.z = span_start(left.z, pre, g.d_z_dx);
    s.shade = span_start(left.shade, pre, g.d_shade_dx);

    if (screen.wireframe != 0) {
        // Both ends take the start's colour and shade; no depth test, no count.
        const uint8_t a = channel_to_byte(s.colour.w);
        const uint8_t r = channel_to_byte(s.colour.x);
        const uint8_t gr = channel_to_byte(s.colour.y);
        const uint8_t b = channel_to_byte(s.colour.z);
        const auto row = static_cast<uint32_t>(y);
        screen.draw_pixel(as_pixel_coordinate(xs), row, a, r, gr, b, s.shade);
        screen.draw_pixel(as_pixel_coordinate(xe), row, a, r, gr, b, s.shade);
        return;
    }

    if (y < 0 || static_cast<uint32_t>(y) >= screen.height || screen.framebuffer == nullptr ||
        screen.zbuffer == nullptr) {
        return;
    }
    // Column numbers are whole floats compared in double, so infinite or 1e30-wide spans
    // need no integer conversion until they are clamped to the row. A NaN end has no
    // nearest integer: such a span covers no pixel (every comparison below fails).
    const double x_first = nearest_float(xs);
    const double x_last = nearest_float(xe - 1.0f);
    if (!(x_last >= x_first) || !(x_last >= 0.0)) return;
    if (!(x_first < static_cast<double>(screen.width))) return;

    int64_t x_begin = 0;
    if (x_first < 0.0) {
        s.advance(g, -x_first);  // the pixels left of the row are stepped, not drawn
    } else {
        x_begin = static_cast<int64_t>(x_first);
    }
    const int64_t x_end = static_cast<int64_t>(std::min(x_last, static_cast<double>(screen.width) - 1.0));

    if (screen.textured != 0) {
        fill_textured(screen, g, s, x_begin, x_end, y, texture);
    } else {
        fill_vertex_colour(screen, g, s, x_begin, x_end, y);
    }
}

void draw_scanlines(screen_t& screen, const gradients_t& g, edge_t& long_edge, edge_t& short_edge,
                    int32_t middle_is_left, const texture_t& texture) {
    edge_t& left = middle_is_left != 0 ? short_edge : long_edge;
    edge_t& right = middle_is_left != 0 ? long_edge : short_edge;

    // Row numbers are whole floats compared in double, as in draw_span; NaN gives no rows.
    const double first = nearest_float(short_edge.y);
    const double last = static_cast<double>(nearest_float(short_edge.y_end)) - 1.0;
    if (!(last >= first)) return;

    // Rows above the framebuffer draw nothing but still move both edges, so the visible
    // rows (and the long edge carried into the lower half) see the values of a full walk.
    int64_t y = 0;
    if (first < 0.0) {
        const double above = std::min(last, -1.0) - first + 1.0;
        left.advance(above);
        right.advance(above);
        if (last < 0.0) return;
    } else {
        if (!(first < static_cast<double>(screen.height))) return;
        y = static_cast<int64_t>(first);
    }
    // Rows below the framebuffer are not walked at all: they cannot touch a pixel, and the
    // lower half, which inherits the long edge, lies entirely below them.
    const auto y_stop = static_cast<int64_t>(std::min(last, static_cast<double>(screen.height) - 1.0));
    for (; y <= y_stop; ++y) {
        draw_span(screen, g, left, right, static_cast<int32_t>(y), texture);
        left.step();
        right.step();
    }
}

void rasterise_triangle(screen_t& screen, const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                        int32_t middle_is_left, const texture_t& texture) {
    const gradients_t gradients(top, middle, bottom);
    edge_t long_edge(gradients, top, bottom, 0);
    edge_t upper_edge(gradients, top, middle, 0);
    edge_t lower_edge(gradients, middle, bottom, 1);
    draw_scanlines(screen, gradients, long_edge, upper_edge, middle_is_left, texture);
    draw_scanlines(screen, gradients, long_edge, lower_edge, middle_is_left, texture);
    ++screen.triangle_count;
}
