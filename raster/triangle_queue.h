// Queued triangles: screen-space triangles in submission order, sorted by band, until the bands draw them.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/vertex.h"
#include "raster/band_layout.h"
#include "raster/triangle_rows.h"

// One triangle ready for the rasteriser: its corners as indices into its run's screen-space
// vertices, sorted top to bottom, and the framebuffer rows its drawing can reach (reached_rows).
struct queued_triangle_t {
    uint32_t top = 0;
    uint32_t middle = 0;
    uint32_t bottom = 0;
    int32_t middle_is_left = 0;
    row_range_t rows;  // within 0 .. height; empty when no row is reached
};

// A run's triangles sorted by the bands they reach: band b's are triangles[entries[first[b]]],
// ... up to entries[first[b + 1] - 1], in submission order, so a band's thread reads only its
// own, and a triangle is stored once however many bands it crosses. Kept by its owner from
// frame to frame, so once grown it sorts without allocating.
//
// The sort counts each band's triangles, then places them: start() and count() may go along
// with the queuing, while the triangle's rows are at hand, and place() follows.
struct band_bins_t {
    std::vector<uint32_t> first;
    std::vector<uint32_t> entries;
    std::vector<uint32_t> cursor;  // work space of the sort

    void start(const band_layout_t& bands) { first.assign(size_t{bands.count()} + 1, 0); }
    // One triangle reaching these rows (within 0 .. the layout's height), in submission order.
    void count(const band_layout_t& bands, const row_range_t& rows) {
        if (rows.empty()) return;
        const uint32_t last = bands.band_of(rows.end - 1);
        for (uint32_t b = bands.band_of(rows.begin); b <= last; ++b) ++first[size_t{b} + 1];
    }
};

// Consecutive queued triangles sharing one vertex array: one chunk of a mesh's slots, or the
// triangles handed over one at a time.
struct triangle_run_t {
    const vertex_t* vertices = nullptr;
    const queued_triangle_t* triangles = nullptr;
    uint32_t count = 0;
    const band_bins_t* bins = nullptr;  // set by place_in_bins
};

// The run's triangles, each counted in the bins started for this layout, placed into them;
// points the run at the bins.
void place_in_bins(triangle_run_t& run, const band_layout_t& bands, band_bins_t& bins);

// Sorts the run's triangles into the layout's bands (counting each band's triangles, then
// placing them) and points the run at the bins.
void bin_by_band(triangle_run_t& run, const band_layout_t& bands, band_bins_t& bins);

// Triangles whose number is known only once they are made (the clipper's fans, triangles
// handed over one at a time): their screen-space corners and queued triangles in growing
// arrays that keep their capacity from frame to frame, so a steady scene stops allocating
// after its first frames.
class triangle_batch_t {
public:
    void clear();
    bool empty() const { return triangles_.empty(); }

    // A screen-space triangle, corners sorted top to bottom, copied into the batch with the
    // rows of a framebuffer `height` rows high that it reaches; returns its queued record.
    const queued_triangle_t& add(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                                 int32_t middle_is_left, uint32_t height);

    // Valid until the next change of the batch.
    triangle_run_t run() const;

private:
    std::vector<vertex_t> vertices_;
    std::vector<queued_triangle_t> triangles_;
};
