// The watertight rule's coverage: corners snapped to 1/256 pixel, and each row's covered columns in exact integers.
#pragma once

#include <cstdint>

#include "math/vec4.h"

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

// A coordinate in 1/256 pixel, for |v| <= snap_limit.
int64_t snap(float v);

// floor(a / b) for b > 0, and the remainder a - b * floor(a / b) (0 <= remainder < b).
inline int64_t floor_div(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return q - ((a % b) < 0 ? 1 : 0);
}

// One edge of the snapped triangle, from corner a to corner b, the corners ordered clockwise on
// the screen (y down). A sample S is inside the edge when E(S) = dx (S.y - a.y) - dy (S.x - a.x)
// is positive, or zero on a top edge (horizontal, running right: dy = 0, dx > 0) or a left edge
// (running up: dy < 0).
// Two triangles that share the edge see it from both sides, E of one the exact negative of
// E of the other, and the edge is top or left for exactly one of them, so a sample on it
// belongs to exactly one.
//
// At the sample of column c in row r (S = (256 c, 256 r)) the test E(S) + t > 0 (t = 1 for a
// top or left edge, else 0; E is an integer) reads K(r) - 256 dy c > 0 with
// K(r) = dx (256 r - a.y) + dy a.x + t: for dy > 0 it bounds the row's last column at
// floor((K(r) - 1) / (256 dy)), for dy < 0 its first at floor(-K(r) / (256 |dy|)) + 1, and a
// horizontal edge keeps or drops the whole row by the sign of K(r). From row to row K grows
// by 256 dx, so each bound is walked down the rows with a quotient and a remainder: no
// division per row.
class edge_bound_t {
public:
    enum class kind_t : uint8_t { first_column, last_column, whole_row };

    // The edge from a to b (1/256 pixel), placed at row `row`.
    void start(int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t row);

    kind_t kind() const { return kind_; }
    // The column bound on the current row (first_column: the first column inside; last_column:
    // the last), or for whole_row whether the row is inside at all (1 or 0).
    int64_t bound() const { return kind_ == kind_t::first_column ? quotient_ + 1 : quotient_; }
    // One row down.
    void next() {
        if (kind_ == kind_t::whole_row) {
            quotient_ = (numerator_ += step_) > 0 ? 1 : 0;
            return;
        }
        if (!stepping_) take_steps();
        quotient_ += quotient_step_;
        remainder_ += remainder_step_;
        if (remainder_ >= divisor_) {
            remainder_ -= divisor_;
            ++quotient_;
        }
    }

private:
    // The quotient and remainder of each row's step, found on the first step only: most edges
    // of a dense mesh's small triangles bound a single row.
    void take_steps();

    kind_t kind_ = kind_t::whole_row;
    bool stepping_ = false;
    int64_t divisor_ = 1;    // 256 |dy|
    int64_t step_ = 0;       // the change of the numerator per row: +-256 dx
    int64_t numerator_ = 0;  // for whole_row: K(r)
    int64_t quotient_ = 0;   // floor(numerator / divisor) on the current row
    int64_t remainder_ = 0;
    int64_t quotient_step_ = 0;
    int64_t remainder_step_ = 0;
};

// A triangle snapped to the grid, its corners ordered clockwise on the screen (E > 0 inside
// every edge), with the rows whose sample y lies within its corners' y range. Empty for a triangle of
// no area on the grid.
struct snapped_triangle_t {
    int64_t x[3] = {};
    int64_t y[3] = {};
    int64_t row_first = 0;  // ceil(min y / 256)
    int64_t row_last = -1;  // floor(max y / 256)
    bool empty = true;
};

// Snaps the three corners (any order); false when one lies beyond snap_limit or is not a
// number, the triangle then being left to the span rule.
bool snap_triangle(const vec4_t& a, const vec4_t& b, const vec4_t& c, snapped_triangle_t& t);

// The covered columns of row after row of a snapped, non-empty triangle, from `row` down.
class coverage_rows_t {
public:
    coverage_rows_t(const snapped_triangle_t& t, int64_t row);
    // The current row's columns first .. last (none when last < first); then one row down.
    void take_row(int64_t& first, int64_t& last) {
        first = INT64_MIN;
        last = INT64_MAX;
        bool inside = true;
        for (const edge_bound_t& e : edges_) {
            const int64_t b = e.bound();
            switch (e.kind()) {
                case edge_bound_t::kind_t::first_column:
                    first = b > first ? b : first;
                    break;
                case edge_bound_t::kind_t::last_column:
                    last = b < last ? b : last;
                    break;
                case edge_bound_t::kind_t::whole_row:
                    inside = inside && b != 0;
                    break;
            }
        }
        if (!inside) {
            first = 0;
            last = -1;
        }
        for (edge_bound_t& e : edges_) e.next();
    }

private:
    edge_bound_t edges_[3];
};

}  // namespace watertight
