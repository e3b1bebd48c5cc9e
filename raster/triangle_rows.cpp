// The rows of a triangle's halves: the walk's plan for a window, and the rows a triangle reaches.
#include "raster/triangle_rows.h"

#include <algorithm>

#include "math/nearest.h"

half_walk_t walk_of_half(float y, float y_end, int64_t row_begin, int64_t row_end) {
    half_walk_t walk;
    const double first = nearest_float(y);
    const double last = static_cast<double>(nearest_float(y_end)) - 1.0;
    if (!(last >= first)) return walk;
    walk.has_rows = true;
    int64_t row = 0;
    if (first < 0.0) {
        walk.passed = std::min(last, -1.0) - first + 1.0;
        if (last < 0.0) return walk;
    } else {
        if (!(first < static_cast<double>(row_end))) return walk;
        row = static_cast<int64_t>(first);
    }
    const auto row_last = static_cast<int64_t>(std::min(last, static_cast<double>(row_end) - 1.0));
    if (row < row_begin) {
        walk.stepped = std::min(row_begin, row_last + 1) - row;
        row += walk.stepped;
    }
    walk.first = row;
    walk.last = row_last;
    return walk;
}

row_range_t reached_rows_of_any(float top_y, float middle_y, float bottom_y, uint32_t height) {
    float low = 0.0f;
    float high = 0.0f;
    bool any = false;
    for (const float y : {top_y, middle_y, bottom_y}) {
        if (y != y) continue;
        low = any ? std::min(low, y) : y;
        high = any ? std::max(high, y) : y;
        any = true;
    }
    if (!any || height == 0) return {};
    // Whole floats compared in double, so no conversion sees an infinity or a huge value.
    const double first = std::max(static_cast<double>(nearest_float(low)), 0.0);
    const double end = std::min(static_cast<double>(nearest_float(high)) + 2.0, static_cast<double>(height));
    if (!(end > first)) return {};
    return {static_cast<int32_t>(first), static_cast<int32_t>(end)};
}
