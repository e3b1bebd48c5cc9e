// Band heights from the thread count, and the rows of each band.
#include "raster/band_layout.h"

#include <algorithm>

namespace {

// Enough bands per thread that a thread finishing early finds more work (a picture's work
// gathers in the rows its objects cover), few enough that triangles crossing band edges,
// set up once in each band they reach, stay rare; a band starting inside a triangle steps
// its edges over the rows above in runs, so that costs little.
constexpr uint32_t bands_per_thread = 8;
constexpr uint32_t min_band_rows = 8;

uint32_t rounded_up_quotient(uint32_t a, uint32_t b) { return a / b + (a % b != 0 ? 1 : 0); }

}  // namespace

band_layout_t::band_layout_t(uint32_t height, uint32_t thread_count, uint32_t band_rows) : height_(height) {
    if (band_rows == 0) {
        const uint32_t bands = std::max<uint32_t>(thread_count, 1) * bands_per_thread;
        band_rows = std::max(rounded_up_quotient(height, bands), min_band_rows);
    }
    band_rows_ = band_rows;
    band_count_ = rounded_up_quotient(height, band_rows_);
}

row_range_t band_layout_t::rows_of(uint32_t band) const {
    const uint64_t begin = uint64_t{band} * band_rows_;
    return {static_cast<int32_t>(begin), static_cast<int32_t>(std::min<uint64_t>(begin + band_rows_, height_))};
}
