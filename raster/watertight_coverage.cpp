// The watertight rule's coverage: snapping, the rows of a triangle, its edges' column bounds.
#include "raster/watertight_coverage.h"

namespace watertight {

coverage_rows_t::coverage_rows_t(const snapped_triangle_t& t, int64_t row) {
    for (int i = 0; i < 3; ++i) {
        const int j = i == 2 ? 0 : i + 1;
        const int64_t dx = t.x[j] - t.x[i];
        const int64_t dy = t.y[j] - t.y[i];
        if (dy == 0) continue;  // horizontal: already in the rows
        const int64_t top_left = dy < 0 ? 1 : 0;
        const int64_t k = dx * (subpixels * row - t.y[i]) + dy * t.x[i] + top_left;
        if (dy > 0) {
            right_[rights_++].start(k - 1, subpixels * dy, subpixels * dx);
        } else {
            left_[lefts_++].start(-k, -subpixels * dy, -subpixels * dx);
        }
    }
}

}  // namespace watertight
