// Which framebuffer rows a triangle's halves walk, and how a walk reaches a window of them.
#pragma once

#include <cstdint>

#include "math/nearest.h"

// Framebuffer rows [begin, end); empty when end <= begin.
struct row_range_t {
    int32_t begin = 0;
    int32_t end = 0;

    bool empty() const { return end <= begin; }
};

// A half of a triangle walks the rows nearest(y) up to nearest(y_end) - 1 of its short edge,
// both edges stepping once per row, and draws those of a window [row_begin, row_end) of the
// framebuffer. Rows above the framebuffer draw nothing but move the edges (the long edge is
// carried into the lower half), so they are passed in one advance; the framebuffer's rows
// above the window are stepped exactly, so the window's first row gets the values of a walk
// over the whole framebuffer; rows below the window are not walked at all (the lower half
// lies below them too). Row numbers are whole numbers held in doubles, so coordinates far
// beyond any integer type need no conversion; NaN gives no rows.
struct half_walk_t {
    bool has_rows = false;  // the half walks a row at all (else its edges are never used)
    double passed = 0.0;    // rows above the framebuffer
    int64_t stepped = 0;    // framebuffer rows above the window
    int64_t first = 0;      // the window's rows to draw; none when last < first
    int64_t last = -1;
};

half_walk_t walk_of_half(float y, float y_end, int64_t row_begin, int64_t row_end);

// The framebuffer rows 0 .. height - 1 that drawing a triangle can touch in any mode, for
// sorting triangles into bands: from nearest(y) of its highest corner to nearest(y) + 1 of its
// lowest (NaN corners left out). Besides the rows its halves walk it holds the last rows the
// watertight rule reaches (pixel centres down to the lowest corner, on its 1/256-pixel grid)
// and the rows of its edges drawn as lines (their ends' pixels, on that grid). For any
// coordinates, NaN and infinities included.
row_range_t reached_rows_of_any(float top_y, float middle_y, float bottom_y, uint32_t height);

// The same rows, found at once for a triangle within a few screens of the framebuffer (nearly
// every one the front end queues): sorted and not NaN, its rows run from nearest(top y) to
// nearest(bottom y) + 1, whole numbers that int32_t holds and the processor's rounding
// conversion (ties to even) gives in one instruction.
inline row_range_t reached_rows(float top_y, float middle_y, float bottom_y, uint32_t height) {
    constexpr float ordinary = 1048576.0f;
    if (!(top_y >= -ordinary && top_y <= middle_y && middle_y <= bottom_y && bottom_y <= ordinary &&
          height <= 1048576u)) {
        return reached_rows_of_any(top_y, middle_y, bottom_y, height);
    }
    const auto row = [](float y) {
#if defined(__SSE2__)
        return _mm_cvtss_si32(_mm_set_ss(y));
#else
        return static_cast<int32_t>(nearest_float(y));
#endif
    };
    const int32_t first = row(top_y) < 0 ? 0 : row(top_y);
    const int32_t end =
        row(bottom_y) + 2 > static_cast<int32_t>(height) ? static_cast<int32_t>(height) : row(bottom_y) + 2;
    if (end <= first) return {};
    return {first, end};
}

// Under the span rule a triangle sorted by y draws the rows nearest(top y) .. nearest(bottom
// y) - 1 of its two halves: none when both round to the same row (never true for NaN), in
// wireframe too.
inline bool walks_no_row(float top_y, float bottom_y) { return nearest_float(top_y) == nearest_float(bottom_y); }
