// The watertight rule's walk: each window row's covered columns, its values from the planes at its first pixel.
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

// Triangles whose bounding box within the target holds at most this many samples have them
// tested one by one; larger ones take their edges' column bounds row by row.
constexpr int64_t sample_scan_limit = 64;

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
    const int64_t x_min = std::min({t.x[0], t.x[1], t.x[2]});
    const int64_t x_max = std::max({t.x[0], t.x[1], t.x[2]});
    const int64_t first_column = std::max<int64_t>((x_min + watertight::subpixels - 1) >> watertight::subpixel_bits, 0);
    const int64_t last_column =
        std::min<int64_t>(x_max >> watertight::subpixel_bits, static_cast<int64_t>(target_.width) - 1);
    if (last_column < first_column) return true;

    const gradients_t* g = nullptr;
    int batched = 0;
    // Row y's pixels first .. last (within the target) to the span fills.
    const auto take = [&](int64_t y, int64_t first, int64_t last) {
        if (g == nullptr) g = &set_up_.make_finite<n>();
        span_row_t& row = rows_[batched];
        values_at_pixel<n>(row.start, *g, set_up_.top().position, first, y);
        const size_t offset = static_cast<size_t>(y) * target_.width + static_cast<size_t>(first);
        row.pixels = target_.framebuffer + offset * 4;
        row.depth = target_.zbuffer + offset;
        row.count = last - first + 1;
        queue_row(batched);
    };
    if ((last_row - first_row + 1) * (last_column - first_column + 1) <= sample_scan_limit) {
        watertight::edge_functions_t row_start(t, first_column, first_row);
        for (int64_t y = first_row; y <= last_row; ++y) {
            // A row's samples inside are one run: its first and last, without a branch on each
            // sample (whose outcome no predictor could know).
            int64_t e0 = row_start.at[0], e1 = row_start.at[1], e2 = row_start.at[2];
            int64_t first = INT64_MAX;
            int64_t last = -1;
            for (int64_t x = first_column; x <= last_column; ++x) {
                const bool in = (e0 > 0) & (e1 > 0) & (e2 > 0);
                first = in && x < first ? x : first;
                last = in ? x : last;
                e0 += row_start.across[0];
                e1 += row_start.across[1];
                e2 += row_start.across[2];
            }
            if (last >= 0) take(y, first, last);
            for (int i = 0; i < 3; ++i) row_start.at[i] += row_start.down[i];
        }
    } else {
        watertight::coverage_rows_t coverage(t, first_row);
        for (int64_t y = first_row; y <= last_row; ++y) {
            int64_t first = 0;
            int64_t last = 0;
            coverage.take_row(first, last);
            first = std::max(first, first_column);
            last = std::min(last, last_column);
            if (first <= last) take(y, first, last);
        }
    }
    flush_rows(batched);
    return true;
}

template bool row_rasteriser_t::draw_watertight<interpolant::count>();
template bool row_rasteriser_t::draw_watertight<interpolant::untextured_count>();
