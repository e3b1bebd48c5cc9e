// The small-triangle walk: its x walked alone, its values set up only for the rows that reach a pixel.
#include "math/nearest.h"
#include "raster/row_rasteriser.h"
#include "raster/row_spans.h"

namespace {

// The most rows draw_small takes a triangle of.
constexpr int small_triangle_rows = 8;

}  // namespace

// The spans of such a triangle need no clamping, only the left edge's values are read, and
// they are stepped only up to the rows that reach a pixel.
template <int n>
bool row_rasteriser_t::draw_small() {
    const vec4_t& p0 = set_up_.top().position;
    const vec4_t& p1 = set_up_.middle().position;
    const vec4_t& p2 = set_up_.bottom().position;
    const float r0 = nearest_float(p0.y);
    const float r1 = nearest_float(p1.y);
    const float r2 = nearest_float(p2.y);
    // Rows r0 .. r2 - 1 inside the window, the middle's row between (which also turns away
    // NaN), and every corner within the columns: then each edge's x stays within the corners'
    // columns up to rounding on every row it is walked (an edge is walked over no more rows
    // than its height), so every span that covers a column covers only columns 0 .. width - 1.
    if (!(r0 >= small_row_begin_ && r0 <= r1 && r1 <= r2 && r2 <= small_row_end_ &&
          r2 - r0 <= static_cast<float>(small_triangle_rows))) {
        return false;
    }
    if (!(p0.x >= 0.0f && p1.x >= 0.0f && p2.x >= 0.0f && p0.x <= small_x_limit_ && p1.x <= small_x_limit_ &&
          p2.x <= small_x_limit_)) {
        return false;
    }
    const auto row0 = static_cast<int32_t>(r0);
    const auto row1 = static_cast<int32_t>(r1);
    const auto row2 = static_cast<int32_t>(r2);
    if (row2 == row0) return true;

    // The x walk alone: the rows whose spans reach a pixel, with the left edge's x there
    // (plain fields: nothing is written before it is found).
    struct found_row_t {
        int32_t y;
        float left_x;
        float xs;
        float x_first;
        float x_last;
    };
    found_row_t found[small_triangle_rows];
    int found_count = 0;
    const bool short_is_left = middle_is_left_ != 0;
    // The edges' x steps, as edge_t::place makes them; a half without rows needs none.
    const float long_step = (p2.x - p0.x) / (p2.y - p0.y);
    const float upper_step = row1 > row0 ? (p1.x - p0.x) / (p1.y - p0.y) : 0.0f;
    float lower_step = 0.0f;
    float long_x = p0.x;
    float short_x = p0.x;
    float short_step = upper_step;
    for (int32_t y = row0; y < row2; ++y) {
        if (y == row1) {
            lower_step = (p2.x - p1.x) / (p2.y - p1.y);
            short_x = p1.x;
            short_step = lower_step;
        }
        const float left_x = short_is_left ? short_x : long_x;
        const float right_x = short_is_left ? long_x : short_x;
        const float xs = left_x + 0.5f;
        const float x_first = nearest_float(xs);
        const float x_last = nearest_float((right_x + 0.5f) - 1.0f);
        if (x_last >= x_first) {
            found_row_t& f = found[found_count++];
            f.y = y;
            f.left_x = left_x;
            f.xs = xs;
            f.x_first = x_first;
            f.x_last = x_last;
        }
        long_x += long_step;
        short_x += short_step;
    }
    if (found_count == 0) return true;

    // The left edge's values, stepped row by row up to each found row, one addition per row
    // as the full walk takes them.
    const gradients_t& g = set_up_.make<n>();
    interpolants_t values;
    interpolants_t steps;
    int32_t at = -1;  // the row the values are on; none yet
    int batched = 0;
    for (int i = 0; i < found_count; ++i) {
        const found_row_t& f = found[i];
        const bool lower = short_is_left && f.y >= row1;
        if (at < 0 || (lower && at < row1)) {
            // The left edge starts here: the long or upper edge at the top, the lower edge at the middle.
            values = g.vertex[lower ? 1 : 0];
            move_into<n>(steps, g.d_dy, g.d_dx, lower ? lower_step : (short_is_left ? upper_step : long_step));
            at = lower ? row1 : row0;
        }
        for (; at < f.y; ++at) values.step<n>(steps);
        span_columns_t columns;
        columns.xs = f.xs;
        columns.x_first = f.x_first;
        columns.x_begin = static_cast<int64_t>(f.x_first);
        columns.x_end = static_cast<int64_t>(f.x_last);
        take_row<n>(columns, values, f.left_x, f.y, batched);
    }
    flush_rows(batched);
    return true;
}

template bool row_rasteriser_t::draw_small<interpolant::count>();
template bool row_rasteriser_t::draw_small<interpolant::untextured_count>();
