// The watertight rule's coverage: corners snapped to 1/256 pixel, and each row's covered columns in exact integers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "math/nearest.h"
#include "math/vec4.h"

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace watertight {

// Corners are snapped to multiples of 1/256 pixel: nearest(coordinate * 256), ties to even.
constexpr int subpixel_bits = 8;
constexpr int64_t subpixels = int64_t{1} << subpixel_bits;

// Corners within this many pixels of the origin on both axes are snapped (2^20, far beyond
// any target: 16384 samples a side); a triangle with a corner beyond it, or not a number, is
// drawn by the span rule instead. Within it every product below fits 64 bits: coordinates
// take 29 bits with their sign, differences 30, and an edge function at a sample of a target
// row at most 2^60.
constexpr float snap_limit = 1048576.0f;

// A coordinate in 1/256 pixel, for |v| <= snap_limit. The product is exact, and the SSE2
// conversion rounds it in the current mode, to nearest with ties to even, as nearest does.
inline int64_t snap(float v) {
#if defined(__SSE2__) && defined(__x86_64__)
    return _mm_cvtss_si64(_mm_set_ss(v * static_cast<float>(subpixels)));
#else
    return static_cast<int64_t>(nearest_float(v * static_cast<float>(subpixels)));
#endif
}

// floor(a / b) for b > 0.
inline int64_t floor_div(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return q - ((a % b) < 0 ? 1 : 0);
}

// A column bound walked down the rows: floor(n(r) / d) for a numerator that grows by `step`
// from row to row. The quotient is estimated through the divisor's reciprocal in double and
// corrected in integers to the exact one: no division per row, and no branch that depends on
// the data but the rare one for a bound far beyond any target (2^24 columns away), which is
// held there.
class column_bound_t {
public:
    static constexpr double far = 16777216.0;

    void start(int64_t numerator, int64_t divisor, int64_t step) {
        numerator_ = numerator;
        divisor_ = divisor;
        inverse_ = 1.0 / static_cast<double>(divisor);
        step_ = step;
    }
    int64_t quotient() const {
        const double estimate = static_cast<double>(numerator_) * inverse_;
        if (!(std::fabs(estimate) < far))
            return estimate < 0.0 ? -static_cast<int64_t>(far) : static_cast<int64_t>(far);
        // floor of the estimate, which lies within a millionth of the quotient, so the floor is
        // the quotient or one of its neighbours.
        auto q = static_cast<int64_t>(estimate);
        q -= static_cast<double>(q) > estimate ? 1 : 0;
        const int64_t rest = numerator_ - q * divisor_;
        q -= rest < 0 ? 1 : 0;
        q += rest >= divisor_ ? 1 : 0;
        return q;
    }
    void next() { numerator_ += step_; }

private:
    int64_t numerator_ = 0;
    int64_t divisor_ = 1;
    double inverse_ = 1.0;
    int64_t step_ = 0;
};

// A triangle snapped to the grid, its corners ordered clockwise on the screen (y down), with
// the rows whose sample y can lie inside it. Empty when it covers no sample: no area on the
// grid, or no row.
//
// The rule: a sample S lies inside the edge from corner a to corner b when
// E(S) = dx (S.y - a.y) - dy (S.x - a.x) (d = b - a) is positive, or zero on a top edge
// (horizontal, running right: dy = 0, dx > 0) or a left edge (running up: dy < 0); inside the
// triangle when inside all three. Two triangles that share an edge see it from both sides, E
// of one the exact negative of E of the other whichever corner either starts from, and the
// edge is top or left for exactly one of them: a sample on it belongs to exactly one.
//
// Rows: those from the highest corner's (rounded up) to the lowest's (rounded down), less the
// lowest when a horizontal edge lies on it (a bottom edge, which keeps its samples out).
// Between them a horizontal edge leaves every sample in, and each other edge bounds the
// columns: at the sample of column c in row r (S = (256 c, 256 r)) the test E(S) + t > 0
// (t = 1 for a top or left edge, else 0; E is an integer) reads K(r) - 256 dy c > 0 with
// K(r) = dx (256 r - a.y) + dy a.x + t, so an edge running down (dy > 0) bounds the row's
// last column at floor((K(r) - 1) / (256 dy)), one running up its first at
// floor(-K(r) / (256 |dy|)) + 1. K grows by 256 dx from row to row.
struct snapped_triangle_t {
    int64_t x[3] = {};
    int64_t y[3] = {};
    int64_t row_first = 0;
    int64_t row_last = -1;
    bool empty = true;
};

// The area, the corners' order and the lowest row of a triangle snapped so far by
// snap_triangle; true.
inline bool finish_snapped_triangle(snapped_triangle_t& t, int64_t y_max) {
    const int64_t area = (t.x[1] - t.x[0]) * (t.y[2] - t.y[0]) - (t.y[1] - t.y[0]) * (t.x[2] - t.x[0]);
    if (area == 0) return true;
    if (area < 0) {
        // Counter-clockwise on the screen: the other way round.
        std::swap(t.x[1], t.x[2]);
        std::swap(t.y[1], t.y[2]);
    }
    // A horizontal edge on the lowest row's sample line is a bottom edge: that row is out.
    if ((y_max & (subpixels - 1)) == 0) {
        const int lowest = (t.y[0] == y_max ? 1 : 0) + (t.y[1] == y_max ? 1 : 0) + (t.y[2] == y_max ? 1 : 0);
        if (lowest == 2) --t.row_last;
    }
    t.empty = t.row_last < t.row_first;
    return true;
}

// Snaps the three corners (any order); false when one lies beyond snap_limit or is not a
// number, the triangle then being left to the span rule. Inline: it runs for every triangle.
inline bool snap_triangle(const vec4_t& a, const vec4_t& b, const vec4_t& c, snapped_triangle_t& t) {
    // Each test fails for NaN too.
    if (!(std::fabs(a.x) <= snap_limit && std::fabs(a.y) <= snap_limit && std::fabs(b.x) <= snap_limit &&
          std::fabs(b.y) <= snap_limit && std::fabs(c.x) <= snap_limit && std::fabs(c.y) <= snap_limit)) {
        return false;
    }
    t.empty = true;
    t.y[0] = snap(a.y);
    t.y[1] = snap(b.y);
    t.y[2] = snap(c.y);
    const int64_t y_min = std::min(std::min(t.y[0], t.y[1]), t.y[2]);
    const int64_t y_max = std::max(std::max(t.y[0], t.y[1]), t.y[2]);
    // Rows first: most small triangles of a dense mesh hold no row's sample at all.
    t.row_first = (y_min + subpixels - 1) >> subpixel_bits;
    t.row_last = y_max >> subpixel_bits;
    if (t.row_last < t.row_first) return true;
    t.x[0] = snap(a.x);
    t.x[1] = snap(b.x);
    t.x[2] = snap(c.x);
    return finish_snapped_triangle(t, y_max);
}

// The three edge functions of a snapped, non-empty triangle at one sample, with each edge's
// top-left allowance added (inside: all three positive), stepped a column or a row at a time
// by additions. A small triangle's rows are found by testing the samples of its bounding box
// one by one: no division at all, which for the few samples of a dense mesh's small triangles
// costs less than setting up the column bounds.
struct edge_functions_t {
    int64_t at[3];
    int64_t across[3];  // per column: -256 dy
    int64_t down[3];    // per row: 256 dx

    edge_functions_t(const snapped_triangle_t& t, int64_t column, int64_t row) {
        for (int i = 0; i < 3; ++i) {
            const int j = i == 2 ? 0 : i + 1;
            const int64_t dx = t.x[j] - t.x[i];
            const int64_t dy = t.y[j] - t.y[i];
            const int64_t top_left = dy < 0 || (dy == 0 && dx > 0) ? 1 : 0;
            at[i] = dx * (subpixels * row - t.y[i]) - dy * (subpixels * column - t.x[i]) + top_left;
            across[i] = -subpixels * dy;
            down[i] = subpixels * dx;
        }
    }
};

// The covered columns of row after row of a snapped, non-empty triangle, from `row` down.
class coverage_rows_t {
public:
    coverage_rows_t(const snapped_triangle_t& t, int64_t row);
    // The current row's columns first .. last (none when last < first); then one row down.
    void take_row(int64_t& first, int64_t& last) {
        first = left_[0].quotient() + 1;
        last = right_[0].quotient();
        if (lefts_ > 1 && left_[1].quotient() + 1 > first) first = left_[1].quotient() + 1;
        if (rights_ > 1 && right_[1].quotient() < last) last = right_[1].quotient();
        for (int i = 0; i < lefts_; ++i) left_[i].next();
        for (int i = 0; i < rights_; ++i) right_[i].next();
    }

private:
    column_bound_t left_[2];   // edges running up: the first column is one past the quotient
    column_bound_t right_[2];  // edges running down: the last column is the quotient
    int lefts_ = 0;
    int rights_ = 0;
};

}  // namespace watertight
