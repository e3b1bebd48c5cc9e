// The watertight rule's coverage: snapping, the edges' bounds walked down the rows.
#include "raster/watertight_coverage.h"

#include <cmath>
#include <utility>

#include "math/nearest.h"

namespace watertight {

int64_t snap(float v) { return static_cast<int64_t>(nearest_float(v * static_cast<float>(subpixels))); }

void edge_bound_t::start(int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t row) {
    const int64_t dx = bx - ax;
    const int64_t dy = by - ay;
    const int64_t top_left = dy < 0 || (dy == 0 && dx > 0) ? 1 : 0;
    const int64_t k = dx * (subpixels * row - ay) + dy * ax + top_left;
    stepping_ = false;
    if (dy == 0) {
        kind_ = kind_t::whole_row;
        numerator_ = k;
        step_ = subpixels * dx;
        quotient_ = k > 0 ? 1 : 0;
        return;
    }
    int64_t numerator = 0;
    if (dy > 0) {
        kind_ = kind_t::last_column;
        divisor_ = subpixels * dy;
        numerator = k - 1;
        step_ = subpixels * dx;
    } else {
        kind_ = kind_t::first_column;
        divisor_ = -subpixels * dy;
        numerator = -k;
        step_ = -subpixels * dx;
    }
    quotient_ = floor_div(numerator, divisor_);
    remainder_ = numerator - quotient_ * divisor_;
}

void edge_bound_t::take_steps() {
    quotient_step_ = floor_div(step_, divisor_);
    remainder_step_ = step_ - quotient_step_ * divisor_;
    stepping_ = true;
}

bool snap_triangle(const vec4_t& a, const vec4_t& b, const vec4_t& c, snapped_triangle_t& t) {
    const vec4_t* p[3] = {&a, &b, &c};
    for (const vec4_t* v : p) {
        if (!(std::fabs(v->x) <= snap_limit && std::fabs(v->y) <= snap_limit)) return false;
    }
    for (int i = 0; i < 3; ++i) {
        t.x[i] = snap(p[i]->x);
        t.y[i] = snap(p[i]->y);
    }
    const int64_t area = (t.x[1] - t.x[0]) * (t.y[2] - t.y[0]) - (t.y[1] - t.y[0]) * (t.x[2] - t.x[0]);
    t.empty = area == 0;
    if (t.empty) return true;
    if (area < 0) {
        // Counter-clockwise on the screen: the other way round.
        std::swap(t.x[1], t.x[2]);
        std::swap(t.y[1], t.y[2]);
    }
    int64_t y_min = t.y[0];
    int64_t y_max = t.y[0];
    for (int i = 1; i < 3; ++i) {
        y_min = t.y[i] < y_min ? t.y[i] : y_min;
        y_max = t.y[i] > y_max ? t.y[i] : y_max;
    }
    t.row_first = floor_div(y_min + subpixels - 1, subpixels);
    t.row_last = floor_div(y_max, subpixels);
    return true;
}

coverage_rows_t::coverage_rows_t(const snapped_triangle_t& t, int64_t row) {
    for (int i = 0; i < 3; ++i) {
        const int j = i == 2 ? 0 : i + 1;
        edges_[i].start(t.x[i], t.y[i], t.x[j], t.y[j], row);
    }
}

}  // namespace watertight
