// Queuing a screen-space triangle, and the growing batch for clipped fans.
#include "raster/triangle_queue.h"

#include <algorithm>

#include "math/nearest.h"
#include "raster/clip.h"
#include "raster/pipeline.h"
#include "surfaces/screen.h"

namespace {

// The framebuffer rows of one half: nearest(y_start) up to nearest(y_end) - 1, the rows the
// rasteriser walks for it, cut to 0 .. height - 1. Whole floats compared in double, so
// infinite coordinates need no conversion; a NaN bound gives no rows, as in the walk.
row_span_t half_rows(float y_start, float y_end, uint32_t height) {
    const double first = nearest_float(y_start);
    const double last = static_cast<double>(nearest_float(y_end)) - 1.0;
    if (!(last >= first)) return {};
    const double lo = std::max(first, 0.0);
    const double hi = std::min(last, static_cast<double>(height) - 1.0);
    if (!(hi >= lo)) return {};
    return {static_cast<int32_t>(lo), static_cast<int32_t>(hi) + 1};
}

}  // namespace

void row_span_t::widen(const row_span_t& other) {
    if (other.empty()) return;
    if (empty()) {
        *this = other;
        return;
    }
    begin = std::min(begin, other.begin);
    end = std::max(end, other.end);
}

bool queue_triangle(const screen_t& screen, const vertex_t* vertices, uint32_t a, uint32_t b, uint32_t c,
                    queued_triangle_t& out) {
    const corner_order_t order = order_corners(screen.cull_backfaces != 0, vertices[a], vertices[b], vertices[c]);
    if (order.culled) return false;
    const uint32_t index[3] = {a, b, c};
    out.top = index[order.top];
    out.middle = index[order.middle];
    out.bottom = index[order.bottom];
    out.middle_is_left = order.middle_is_left;
    const float top_y = vertices[out.top].y();
    const float middle_y = vertices[out.middle].y();
    const float bottom_y = vertices[out.bottom].y();
    if (top_y == top_y && middle_y == middle_y && bottom_y == bottom_y) {
        // Sorted and not NaN, so rounding keeps the order: the upper half's rows end where
        // the lower half's begin, and together they run from the top's row to the bottom's.
        out.rows = half_rows(top_y, bottom_y, screen.height);
        return true;
    }
    out.rows = half_rows(top_y, middle_y, screen.height);
    out.rows.widen(half_rows(middle_y, bottom_y, screen.height));
    return true;
}

void bin_by_band(triangle_run_t& run, uint32_t band_rows, uint32_t band_count, band_bins_t& bins) {
    bins.band_rows = band_rows;
    bins.first.assign(size_t{band_count} + 1, 0);
    // The bands a triangle reaches, first and last; none when its rows are empty.
    const auto each_band = [&](auto&& visit) {
        for (uint32_t i = 0; i < run.count; ++i) {
            const row_span_t& rows = run.triangles[i].rows;
            if (rows.empty()) continue;
            const uint32_t last = static_cast<uint32_t>(rows.end - 1) / band_rows;
            for (uint32_t b = static_cast<uint32_t>(rows.begin) / band_rows; b <= last && b < band_count; ++b) {
                visit(i, b);
            }
        }
    };
    each_band([&](uint32_t, uint32_t b) { ++bins.first[size_t{b} + 1]; });
    for (uint32_t b = 0; b < band_count; ++b) bins.first[size_t{b} + 1] += bins.first[b];
    bins.entries.resize(bins.first[band_count]);
    bins.cursor.assign(bins.first.begin(), bins.first.end() - 1);
    each_band([&](uint32_t i, uint32_t b) { bins.entries[bins.cursor[b]++] = i; });
    run.bins = &bins;
}

void triangle_batch_t::clear() {
    vertices_.clear();
    triangles_.clear();
    rows_ = {};
}

void triangle_batch_t::add_triangle(const screen_t& screen, const vertex_t& c1, const vertex_t& c2,
                                    const vertex_t& c3) {
    const mat4_t viewport = viewport_of(screen);
    const auto first = static_cast<uint32_t>(vertices_.size());
    vertices_.push_back(to_screen_vertex(c1, viewport));
    vertices_.push_back(to_screen_vertex(c2, viewport));
    vertices_.push_back(to_screen_vertex(c3, viewport));
    queued_triangle_t t;
    if (!queue_triangle(screen, vertices_.data(), first, first + 1, first + 2, t)) {
        vertices_.resize(first);
        return;
    }
    triangles_.push_back(t);
    rows_.widen(t.rows);
}

void triangle_batch_t::add_clipped(const screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3) {
    ktList<vertex_t> polygon;
    if (clip_triangle(c1, c2, c3, polygon)) {
        for_each_fan_triangle(
            polygon, [&](const vertex_t& a, const vertex_t& b, const vertex_t& c) { add_triangle(screen, a, b, c); });
    }
    polygon.clear();
}

void triangle_batch_t::add_if_inside(const screen_t& screen, const vertex_t& c1, const vertex_t& c2,
                                     const vertex_t& c3) {
    if (is_inside(c1) && is_inside(c2) && is_inside(c3)) add_triangle(screen, c1, c2, c3);
}

triangle_run_t triangle_batch_t::run() const {
    return {vertices_.data(), triangles_.data(), static_cast<uint32_t>(triangles_.size()), rows_};
}
