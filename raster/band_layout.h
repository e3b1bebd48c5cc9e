// band_layout_t: the framebuffer's rows cut into horizontal bands, each drawn by one thread at a time.
#pragma once

#include <cstdint>

#include "raster/triangle_rows.h"

// Band b holds rows b * band_rows up to the next band's first row; the last band may be
// shorter. Everything that sorts or draws by band asks the layout which rows a band holds and
// which band a row falls in, so bands of other heights (sized by the work they hold) need a
// change here only.
class band_layout_t {
public:
    band_layout_t() = default;
    // band_rows 0 picks a few bands per thread; any other value is the height of every band
    // but the last (a band taller than the framebuffer is the whole framebuffer).
    band_layout_t(uint32_t height, uint32_t thread_count, uint32_t band_rows);

    uint32_t count() const { return band_count_; }
    row_range_t rows_of(uint32_t band) const;
    // The band holding row (0 <= row < height).
    uint32_t band_of(int32_t row) const { return static_cast<uint32_t>(row) / band_rows_; }

private:
    uint32_t height_ = 0;
    uint32_t band_rows_ = 1;
    uint32_t band_count_ = 0;
};
