// Band layouts cut by height or by cost, and the band of every row.
#include "raster/band_layout.h"

#include <algorithm>

namespace {

// Enough bands per thread that a thread finishing early finds more work, few enough that
// triangles crossing band edges, set up once in each band they reach, stay rare; a band
// starting inside a triangle steps its edges over the rows above in runs, so that costs little.
constexpr uint32_t bands_per_thread = 8;
constexpr uint32_t min_band_rows = 8;

// The share of a frame's cost spread evenly over its rows when bands are cut by cost: where
// the work of the next frame moves by a few rows, or into rows that had none, no band has
// taken on many rows that the last frame left empty.
constexpr double even_share = 0.125;

uint32_t rounded_up_quotient(uint32_t a, uint32_t b) { return a / b + (a % b != 0 ? 1 : 0); }

}  // namespace

band_layout_t::band_layout_t(uint32_t height, uint32_t thread_count, uint32_t band_rows) {
    cut_by_height(height, band_rows, thread_count);
}

void band_layout_t::cut_by_height(uint32_t height, uint32_t band_rows, uint32_t thread_count) {
    if (band_rows == 0) {
        const uint32_t bands = std::max<uint32_t>(thread_count, 1) * bands_per_thread;
        band_rows = std::max(rounded_up_quotient(height, bands), min_band_rows);
    }
    count_ = rounded_up_quotient(height, band_rows);
    first_row_.resize(size_t{count_} + 1);
    for (uint32_t b = 0; b < count_; ++b) first_row_[b] = static_cast<int32_t>(uint64_t{b} * band_rows);
    finish(height);
}

void band_layout_t::cut_by_cost(const float* row_cost, uint32_t height, uint32_t bands) {
    double total = 0.0;
    for (uint32_t r = 0; r < height; ++r) total += row_cost[r];
    bands = std::min(bands, height);
    if (!(total > 0.0) || bands <= 1) {
        cut_by_height(height, bands <= 1 ? height : rounded_up_quotient(height, bands), 1);
        return;
    }
    const double per_row = total * even_share / (1.0 - even_share) / height;
    const double share = (total + per_row * height) / bands;
    first_row_.resize(size_t{bands} + 1);
    first_row_[0] = 0;
    count_ = 1;
    double done = 0.0;
    for (uint32_t r = 0; r < height && count_ < bands; ++r) {
        done += row_cost[r] + per_row;
        // Band count_ - 1 ends after row r once it holds its share, leaving a row for each
        // band still to come; or when only that many rows are left.
        const uint32_t bands_after = bands - count_;
        if (done >= share * count_ || height - (r + 1) <= bands_after) {
            first_row_[count_++] = static_cast<int32_t>(r + 1);
        }
    }
    finish(height);
}

void band_layout_t::finish(uint32_t height) {
    first_row_.resize(size_t{count_} + 1);
    first_row_[count_] = static_cast<int32_t>(height);
    band_of_row_.resize(height);
    for (uint32_t b = 0; b < count_; ++b) {
        std::fill(band_of_row_.begin() + first_row_[b], band_of_row_.begin() + first_row_[b + 1], b);
    }
}
