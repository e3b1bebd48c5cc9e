// Sorting queued triangles into bands, and the growing batch of triangles made on the way.
#include "raster/triangle_queue.h"

void place_in_bins(triangle_run_t& run, const band_layout_t& bands, band_bins_t& bins) {
    const uint32_t band_count = bands.count();
    for (uint32_t b = 0; b < band_count; ++b) bins.first[size_t{b} + 1] += bins.first[b];
    bins.entries.resize(bins.first[band_count]);
    bins.cursor.assign(bins.first.begin(), bins.first.end() - 1);
    for (uint32_t i = 0; i < run.count; ++i) {
        const row_range_t& rows = run.triangles[i].rows;
        if (rows.empty()) continue;
        const uint32_t last = bands.band_of(rows.end - 1);
        for (uint32_t b = bands.band_of(rows.begin); b <= last; ++b) bins.entries[bins.cursor[b]++] = i;
    }
    run.bins = &bins;
}

void bin_by_band(triangle_run_t& run, const band_layout_t& bands, band_bins_t& bins) {
    bins.start(bands);
    for (uint32_t i = 0; i < run.count; ++i) bins.count(bands, run.triangles[i].rows);
    place_in_bins(run, bands, bins);
}

void triangle_batch_t::clear() {
    vertices_.clear();
    triangles_.clear();
}

const queued_triangle_t& triangle_batch_t::add(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                                               int32_t middle_is_left, uint32_t height) {
    const auto first = static_cast<uint32_t>(vertices_.size());
    vertices_.push_back(top);
    vertices_.push_back(middle);
    vertices_.push_back(bottom);
    queued_triangle_t t;
    t.top = first;
    t.middle = first + 1;
    t.bottom = first + 2;
    t.middle_is_left = middle_is_left;
    t.rows = reached_rows(top.y(), middle.y(), bottom.y(), height);
    triangles_.push_back(t);
    return triangles_.back();
}

triangle_run_t triangle_batch_t::run() const {
    return {vertices_.data(), triangles_.data(), static_cast<uint32_t>(triangles_.size()), nullptr};
}
