// Queued triangles: a frame's screen-space triangles held in submission order until the bands draw them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/vertex.h"

struct screen_t;

// Framebuffer rows [begin, end); empty when end <= begin.
struct row_span_t {
    int32_t begin = 0;
    int32_t end = 0;

    bool empty() const { return end <= begin; }
    bool overlaps(int32_t other_begin, int32_t other_end) const {
        return !empty() && begin < other_end && other_begin < end;
    }
    // The smallest span holding both this one and `other`.
    void widen(const row_span_t& other);
};

// One triangle ready for the rasteriser: its corners as indices into its run's screen-space
// vertices, sorted top to bottom, and the framebuffer rows its spans can reach.
struct queued_triangle_t {
    uint32_t top = 0;
    uint32_t middle = 0;
    uint32_t bottom = 0;
    int32_t middle_is_left = 0;
    row_span_t rows;  // within 0 .. height; empty when no row is reached
};

// Orders the screen-space triangle (a, b, c) of `vertices` as the pipeline does. False when
// it is culled; otherwise `out` holds it, with the rows of its two halves (nearest(top y) to
// nearest(middle y) - 1, then on to nearest(bottom y) - 1) cut to the framebuffer.
bool queue_triangle(const screen_t& screen, const vertex_t* vertices, uint32_t a, uint32_t b, uint32_t c,
                    queued_triangle_t& out);

// A run's triangles sorted by the horizontal bands of band_rows rows each that they reach:
// band b's are triangles[entries[first[b]]], ... up to entries[first[b + 1] - 1], in
// submission order, so a band's thread reads only its own. Kept by its owner from frame to
// frame, so once grown it sorts without allocating.
struct band_bins_t {
    uint32_t band_rows = 0;
    std::vector<uint32_t> first;
    std::vector<uint32_t> entries;
    std::vector<uint32_t> cursor;  // work space of the sort
};

// Consecutive queued triangles sharing one vertex array, with the union of their rows.
struct triangle_run_t {
    const vertex_t* vertices = nullptr;
    const queued_triangle_t* triangles = nullptr;
    uint32_t count = 0;
    row_span_t rows;
    const band_bins_t* bins = nullptr;  // none: a band looks at every triangle
};

// Sorts the run's triangles into bands of band_rows rows (counting each band's triangles,
// then placing them) and points the run at the bins.
void bin_by_band(triangle_run_t& run, uint32_t band_rows, uint32_t band_count, band_bins_t& bins);

// Triangles whose number is known only once they are made (the clipper's fans): screen-space
// vertices and queued triangles in growing arrays that keep their capacity from frame to
// frame, so a steady scene stops allocating after its first frames.
class triangle_batch_t {
public:
    void clear();

    // The pipeline's routes, queued instead of drawn: clip-space corners to screen space
    // (add_triangle), the clipper's fan of the triangle cut to the view volume (add_clipped),
    // and the triangle only when every corner is inside (add_if_inside).
    void add_triangle(const screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3);
    void add_clipped(const screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3);
    void add_if_inside(const screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3);

    // Valid until the next change of the batch.
    triangle_run_t run() const;

private:
    std::vector<vertex_t> vertices_;
    std::vector<queued_triangle_t> triangles_;
    row_span_t rows_;
};
