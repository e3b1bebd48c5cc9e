// The rows of a triangle handed to the span fills: each row's start values, and short rows drawn at once.
#pragma once

#include <cstdint>

#include "raster/row_rasteriser.h"
#include "raster/span_chain.h"
#include "raster/span_fill.h"
#include "surfaces/draw_state.h"
#include "surfaces/pixel_blend.h"
#include "surfaces/render_target.h"

namespace row_spans {

// Columns left of the framebuffer are stepped one by one up to this many, so visible pixels
// get exactly the values of a full walk; spans reaching further out (absurd coordinates) jump.
constexpr double exact_column_limit = 8192.0;

// A vertex-colour row of a few pixels, drawn pixel by pixel as the span rules are written: the
// rows of a dense mesh's small triangles mostly hold one or two pixels, where gathering them
// into a batch for the wide fills costs more than the pixels themselves.
constexpr int64_t short_row_pixels = 3;

// Steps the first n of the span's running values n_pixels along; n_pixels is a whole number
// held in a double.
template <int n>
void advance_span(interpolants_t& s, const interpolants_t& d, double n_pixels) {
    if (n_pixels <= exact_column_limit) {
        // The same serial additions as stepping one pixel at a time, taken a run at a time.
        const auto count = static_cast<int64_t>(n_pixels);
        for (int i = 0; i < n; ++i) s[i] = span_chain::skip(s[i], d[i], count);
        return;
    }
    s = jumped(s, d, n_pixels);
}

// The row's share of a fill: the first n values at the first sample (step 2 of a span),
// stepped over the columns left of the framebuffer, and the pixels it covers there.
template <int n>
void start_span_row(const render_target_t& target, const interpolants_t& d_dx, const interpolants_t& left_values,
                    float left_x, const span_columns_t& c, int32_t y, span_row_t& row) {
    move_into<n>(row.start, left_values, d_dx, c.xs - left_x);
    if (c.x_first < 0.0) advance_span<n>(row.start, d_dx, -c.x_first);  // stepped, not drawn
    const size_t offset = static_cast<size_t>(y) * target.width + static_cast<size_t>(c.x_begin);
    row.pixels = target.framebuffer + offset * 4;
    row.depth = target.zbuffer + offset;
    row.count = c.x_end - c.x_begin + 1;
}

inline uint32_t fill_short_row(const span_row_t& row, const interpolants_t& d) {
    interpolants_t v = row.start;
    uint32_t drawn = 0;
    for (int64_t i = 0; i < row.count; ++i) {
        const float z = v[interpolant::z];
        const float alpha = v[interpolant::alpha];
        // NaN depth or alpha passes: only a comparison that holds rejects the pixel.
        if (!(z >= row.depth[i]) && !(alpha >= 1.0f)) {
            row.depth[i] = z;
            blend_vertex_colour(row.pixels + i * 4, pixel_channel_byte(alpha), pixel_channel_byte(v[interpolant::red]),
                                pixel_channel_byte(v[interpolant::green]), pixel_channel_byte(v[interpolant::blue]),
                                v[interpolant::shade]);
            ++drawn;
        }
        v.step<interpolant::untextured_count>(d);
    }
    return drawn;
}

}  // namespace row_spans

template <int n>
void row_rasteriser_t::take_row(const span_columns_t& columns, const interpolants_t& left_values, float left_x,
                                int32_t y, int& batched) {
    row_spans::start_span_row<n>(target_, set_up_.gradients().d_dx, left_values, left_x, columns, y, rows_[batched]);
    queue_row(batched);
}

inline void row_rasteriser_t::queue_row(int& batched) {
    const span_row_t& row = rows_[batched];
    if (state_.textured == 0 && row.count <= row_spans::short_row_pixels) {
        pixels_ += row_spans::fill_short_row(row, set_up_.gradients().d_dx);
    } else if (++batched == span_batch_rows) {
        flush_rows(batched);
        batched = 0;
    }
}
