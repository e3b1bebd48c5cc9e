// The watertight rule's walk: each window row's covered columns, its values taken from the triangle's planes at its
// first pixel.
#include <algorithm>

#include "raster/row_rasteriser.h"
#include "raster/row_spans.h"
#include "raster/watertight_coverage.h"

namespace {

// The first n values at pixel (x, y) from the planes through the top corner: each
// a + (x - x_top) * d/dx + (y - y_top) * d/dy in double, rounded once. A row's start depends
// on nothing but its first pixel, so every band and every thread count give it the same bits.
template <int n>
void values_at_pixel(interpolants_t& out, const gradients_t& g, const vec4_t& top, int64_t x, int64_t y) {
    const double across = static_cast<double>(x) - top.x;
    const double down = static_cast<double>(y) - top.y;
    for (int i = 0; i < n; ++i) {
        out[i] = static_cast<float>(static_cast<double>(g.vertex[0][i]) + across * g.d_dx[i] + down * g.d_dy[i]);
    }
}

}  // namespace

template <int n>
bool row_rasteriser_t::draw_watertight() {
    watertight::snapped_triangle_t t;
    if (!watertight::snap_triangle(set_up_.top().position, set_up_.middle().position, set_up_.bottom().position, t)) {
        return false;
    }
    const int64_t first_row = std::max(t.row_first, row_begin_);
    const int64_t last_row = std::min(t.row_last, row_end_ - 1);
    // A target that cannot be drawn in has a negative column limit (see the constructor).
    if (t.empty || last_row < first_row || small_x_limit_ < 0.0f) return true;
    const int64_t last_column = static_cast<int64_t>(target_.width) - 1;
    watertight::coverage_rows_t coverage(t, first_row);
    const gradients_t* g = nullptr;
    int batched = 0;
    for (int64_t y = first_row; y <= last_row; ++y) {
        int64_t first = 0;
        int64_t last = 0;
        coverage.take_row(first, last);
        first = std::max<int64_t>(first, 0);
        last = std::min(last, last_column);
        if (last < first) continue;
        if (g == nullptr) g = &set_up_.make_finite<n>();
        span_row_t& row = rows_[batched];
        values_at_pixel<n>(row.start, *g, set_up_.top().position, first, y);
        const size_t offset = static_cast<size_t>(y) * target_.width + static_cast<size_t>(first);
        row.pixels = target_.framebuffer + offset * 4;
        row.depth = target_.zbuffer + offset;
        row.count = last - first + 1;
        queue_row(batched);
    }
    flush_rows(batched);
    return true;
}

template bool row_rasteriser_t::draw_watertight<interpolant::count>();
template bool row_rasteriser_t::draw_watertight<interpolant::untextured_count>();
