// band_drawer_t: queued triangles drawn with the framebuffer cut into horizontal bands, each band by one thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "base/thread_pool.h"
#include "raster/triangle_queue.h"

struct screen_t;
struct texture_t;

// Every band is drawn by one thread, which takes the triangles that reach it in submission
// order, so each pixel sees the same writes in the same order as on one thread; bands share
// no pixel, so threads never touch the same bytes. A band that starts inside a triangle walks
// its edges over the rows above without drawing, so it starts with the values of a full walk.
// Bands are taken from a shared counter as threads come free, which balances uneven bands.
// A run binned for this drawer's bands hands each band its own triangles; any other run is
// scanned, each band skipping the triangles whose rows miss it.
class band_drawer_t {
public:
    // band_rows 0 picks a few bands per thread; any other value is the height of every band
    // but the last (a band taller than the framebuffer is the whole framebuffer).
    band_drawer_t(screen_t& screen, const texture_t& texture, uint32_t thread_count, uint32_t band_rows = 0);

    // Sorts a run's triangles into this drawer's bands, so that each band reads only its own.
    void bin(triangle_run_t& run, band_bins_t& bins) const { bin_by_band(run, band_rows_, band_count_, bins); }

    // Called by every worker of one pool job with its index: draws bands until none is left.
    void draw(uint32_t worker, const triangle_run_t* runs, size_t run_count);

    // After the job: counts every queued triangle once and adds the bands' pixel counts.
    void finish(const triangle_run_t* runs, size_t run_count);

private:
    screen_t& screen_;
    const texture_t& texture_;
    uint32_t thread_count_;
    uint32_t band_rows_ = 1;
    uint32_t band_count_ = 0;
    std::atomic<uint32_t> next_band_{0};
    // One slot per worker, a cache line each, written once when the worker runs out of bands.
    struct alignas(64) pixel_tally_t {
        uint32_t pixels = 0;
    };
    pixel_tally_t tallies_[base::thread_pool_t::max_threads];
};

// Draws the runs' triangles in order: on the calling thread alone through rasterise_triangle
// (the serial path) when there is no pool or it has one thread, in bands otherwise. The
// picture and both counters are the same either way.
void draw_queued(screen_t& screen, const triangle_run_t* runs, size_t run_count, const texture_t& texture,
                 base::thread_pool_t* pool, uint32_t band_rows = 0);

// The serial path of draw_queued.
void draw_queued_serial(screen_t& screen, const triangle_run_t* runs, size_t run_count, const texture_t& texture);
