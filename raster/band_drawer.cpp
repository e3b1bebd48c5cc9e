// The banded rasteriser: band sizes, the band loop, the counters, and the serial fallback.
#include "raster/band_drawer.h"

#include <algorithm>

#include "raster/rasteriser.h"
#include "surfaces/screen.h"

namespace {

// Enough bands per thread that a thread finishing early finds more work (a picture's work
// gathers in the rows its objects cover), few enough that triangles crossing band edges,
// set up once in each band they reach, stay rare; a band starting inside a triangle steps
// its edges over the rows above in runs, so that costs little.
constexpr uint32_t bands_per_thread = 8;
constexpr uint32_t min_band_rows = 8;

}  // namespace

band_drawer_t::band_drawer_t(screen_t& screen, const texture_t& texture, uint32_t thread_count, uint32_t band_rows)
    : screen_(screen),
      texture_(texture),
      thread_count_(std::clamp<uint32_t>(thread_count, 1, base::thread_pool_t::max_threads)) {
    const uint32_t height = screen.height;
    if (band_rows == 0) {
        const uint32_t bands = thread_count_ * bands_per_thread;
        band_rows = std::max(height / bands + (height % bands != 0 ? 1 : 0), min_band_rows);
    }
    band_rows_ = std::max<uint32_t>(band_rows, 1);
    band_count_ = height / band_rows_ + (height % band_rows_ != 0 ? 1 : 0);
}

void band_drawer_t::draw(uint32_t worker, const triangle_run_t* runs, size_t run_count) {
    uint32_t pixels = 0;
    for (uint32_t band = next_band_.fetch_add(1, std::memory_order_relaxed); band < band_count_;
         band = next_band_.fetch_add(1, std::memory_order_relaxed)) {
        const auto begin = static_cast<int32_t>(band * band_rows_);
        const auto end =
            static_cast<int32_t>(std::min<uint64_t>(uint64_t{band} * band_rows_ + band_rows_, screen_.height));
        row_rasteriser_t rows(screen_, texture_, begin, end);
        for (size_t r = 0; r < run_count; ++r) {
            const triangle_run_t& run = runs[r];
            if (!run.rows.overlaps(begin, end)) continue;
            if (run.bins != nullptr && run.bins->band_rows == band_rows_ && run.bins->first.size() > size_t{band} + 1) {
                const band_bins_t& bins = *run.bins;
                for (uint32_t k = bins.first[band]; k < bins.first[band + 1]; ++k) {
                    const queued_triangle_t& t = run.triangles[bins.entries[k]];
                    pixels += rows.draw(run.vertices[t.top], run.vertices[t.middle], run.vertices[t.bottom],
                                        t.middle_is_left);
                }
                continue;
            }
            for (uint32_t i = 0; i < run.count; ++i) {
                const queued_triangle_t& t = run.triangles[i];
                if (!t.rows.overlaps(begin, end)) continue;
                pixels +=
                    rows.draw(run.vertices[t.top], run.vertices[t.middle], run.vertices[t.bottom], t.middle_is_left);
            }
        }
    }
    tallies_[worker % thread_count_].pixels += pixels;
}

void band_drawer_t::finish(const triangle_run_t* runs, size_t run_count) {
    for (size_t r = 0; r < run_count; ++r) screen_.triangle_count += runs[r].count;
    for (uint32_t w = 0; w < thread_count_; ++w) screen_.pixel_count += tallies_[w].pixels;
}

void draw_queued_serial(screen_t& screen, const triangle_run_t* runs, size_t run_count, const texture_t& texture) {
    row_rasteriser_t rows(screen, texture, 0, static_cast<int32_t>(std::min<uint32_t>(screen.height, INT32_MAX)));
    for (size_t r = 0; r < run_count; ++r) {
        const triangle_run_t& run = runs[r];
        for (uint32_t i = 0; i < run.count; ++i) {
            const queued_triangle_t& t = run.triangles[i];
            // A triangle that reaches no row of the framebuffer is counted, not walked.
            if (!t.rows.empty()) {
                screen.pixel_count +=
                    rows.draw(run.vertices[t.top], run.vertices[t.middle], run.vertices[t.bottom], t.middle_is_left);
            }
            ++screen.triangle_count;
        }
    }
}

void draw_queued(screen_t& screen, const triangle_run_t* runs, size_t run_count, const texture_t& texture,
                 base::thread_pool_t* pool, uint32_t band_rows) {
    if (pool == nullptr || pool->size() == 1) {
        draw_queued_serial(screen, runs, run_count, texture);
        return;
    }
    band_drawer_t bands(screen, texture, pool->size(), band_rows);
    pool->run([&](uint32_t worker) { bands.draw(worker, runs, run_count); });
    bands.finish(runs, run_count);
}
