// band_layout_t: the framebuffer's rows cut into horizontal bands, each drawn by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/triangle_rows.h"

// Band b holds rows rows_of(b).begin up to the next band's first row. Bands are cut either
// by height (every band band_rows high, the last one what is left) or by cost: about equal
// shares of a frame's expected work, so that threads taking bands from a counter finish
// together however the picture's work gathers in its rows. Everything that sorts or draws by
// band asks the layout which rows a band holds and which band a row falls in.
//
// A layout is kept from frame to frame and cut again in place, so once grown it cuts without
// allocating.
class band_layout_t {
public:
    // No bands until cut.
    band_layout_t() = default;
    // cut_by_height(height, band_rows, thread_count).
    band_layout_t(uint32_t height, uint32_t thread_count, uint32_t band_rows);

    // Bands of band_rows rows (a band taller than the framebuffer is the whole framebuffer);
    // band_rows 0 picks a few bands per thread.
    void cut_by_height(uint32_t height, uint32_t band_rows, uint32_t thread_count);
    // `bands` bands (fewer on a framebuffer of fewer rows) of about equal cost, row_cost[r]
    // being row r's expected cost (non-negative and finite; rows 0 .. height - 1). A share of
    // the cost is spread over every row, so that a layout cut from one frame still shares
    // out a picture whose work has moved a little in the next. All costs zero cut by height.
    void cut_by_cost(const float* row_cost, uint32_t height, uint32_t bands);

    uint32_t count() const { return count_; }
    int32_t height() const { return first_row_[count_]; }
    row_range_t rows_of(uint32_t band) const { return {first_row_[band], first_row_[band + 1]}; }
    // The band holding row (0 <= row < height).
    uint32_t band_of(int32_t row) const { return band_of_row_[static_cast<size_t>(row)]; }

private:
    // first_row_ holds count_ + 1 entries (the last is the height); band_of_row_ one per row.
    void finish(uint32_t height);

    uint32_t count_ = 0;
    std::vector<int32_t> first_row_ = {0};
    std::vector<uint32_t> band_of_row_;
};
