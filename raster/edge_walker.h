// edge_walker_t: one triangle edge walked down the rows, its values set up only once a span needs them.
#pragma once

#include <cmath>
#include <cstdint>

#include "geometry/vertex.h"
#include "raster/edge.h"
#include "raster/gradients.h"
#include "raster/interpolants.h"
#include "raster/span_chain.h"

// The value after `steps` serial additions of d: one by one for the few steps of a small
// triangle, a run at a time (the same bits) for the many rows above a band.
inline float chain_after(float v, float d, int64_t steps) {
    if (steps > 4) return span_chain::skip(v, d, steps);
    for (; steps > 0; --steps) v += d;
    return v;
}

// The gradients of the triangle being drawn, made when something first needs them: which rows
// and columns a triangle covers follows from its edges' x alone, and the small triangles of a
// dense mesh mostly reach no pixel.
class triangle_set_up_t {
public:
    void begin(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
               const vec4_t& light = default_light) {
        light_ = light;
        top_ = &top;
        middle_ = &middle;
        bottom_ = &bottom;
        made_ = false;
    }
    const vertex_t& top() const { return *top_; }
    const vertex_t& middle() const { return *middle_; }
    const vertex_t& bottom() const { return *bottom_; }
    bool made() const { return made_; }
    // The first n quantities (see gradients_t::set_up), made now if they are not yet.
    template <int n>
    const gradients_t& make() {
        if (!made_) {
            gradients_.set_up<n>(*top_, *middle_, *bottom_, light_);
            made_ = true;
        }
        return gradients_;
    }
    // The same with every rate that is not a finite number replaced by 0, for the watertight
    // rule: a triangle flat in float but not on its snapping grid (or the reverse) is drawn in
    // its top corner's values rather than in infinities.
    template <int n>
    const gradients_t& make_finite() {
        make<n>();
        // Infinities and NaN carry through a sum: one test for the common case of none.
        float all = 0.0f;
        for (int i = 0; i < n; ++i) all += gradients_.d_dx[i] + gradients_.d_dy[i];
        if (std::isfinite(all)) return gradients_;
        for (int i = 0; i < n; ++i) {
            if (!std::isfinite(gradients_.d_dx[i])) gradients_.d_dx[i] = 0.0f;
            if (!std::isfinite(gradients_.d_dy[i])) gradients_.d_dy[i] = 0.0f;
        }
        return gradients_;
    }
    const gradients_t& gradients() const { return gradients_; }

private:
    const vertex_t* top_ = nullptr;
    const vertex_t* middle_ = nullptr;
    const vertex_t* bottom_ = nullptr;
    vec4_t light_ = default_light;
    bool made_ = false;
    gradients_t gradients_;
};

// An edge whose x may run ahead of its values. It knows its rows (y and y_end) from the start;
// its x and x_step once placed (a division, spared for the many halves that have no row); its
// values once taken from the set-up, which then catches them up over the rows x has already
// walked. Every move goes through advance(), so a walker stepped row by row, jumped over the
// rows above a band, or caught up late holds the bits of one stepped row by row from its start
// vertex as edge_t::step() steps it.
class edge_walker_t {
public:
    // Up to this many rows an advance is exact; a longer one (only triangles reaching absurdly
    // far beyond the framebuffer, never the rows of a framebuffer, see base::screen_max_side)
    // is jumped in one multiplication, which bounds the work at the price of values that may
    // differ in the last bits.
    static constexpr double exact_step_limit = 32768.0;

    // The edge from `from` to `to` of the triangle that `set_up` describes; start_index names
    // `from` in its gradients (0 top, 1 middle).
    void begin(triangle_set_up_t& set_up, const vertex_t& from, const vertex_t& to, int start_index) {
        set_up_ = &set_up;
        from_ = &from;
        to_ = &to;
        start_index_ = start_index;
        edge_.y = from.y();
        edge_.y_end = to.y();
        owed_ = 0;
        placed_ = false;
        has_values_ = false;
    }
    // An edge set up completely by the caller.
    void begin(const edge_t& made) {
        set_up_ = nullptr;
        edge_ = made;
        owed_ = 0;
        placed_ = true;
        has_values_ = true;
    }

    void place() {
        if (placed_) return;
        edge_.place(*from_, *to_);
        placed_ = true;
    }

    // The first n values and their steps, the set-up made if need be, caught up over the rows
    // walked so far. The edge must be placed.
    template <int n>
    void take_values() {
        if (has_values_) return;
        edge_.start_values<n>(set_up_->make<n>(), start_index_);
        has_values_ = true;
        if (owed_ == 0) return;
        for (int i = 0; i < n; ++i) edge_.values[i] = chain_after(edge_.values[i], edge_.steps[i], owed_);
        owed_ = 0;
    }

    // `rows` rows down (a whole number held in a double, so that counts far beyond any integer
    // type are taken correctly): x, and the first n values once they exist; until then the
    // values owe the rows. A jump needs the values, so it takes them first.
    template <int n>
    void advance(double rows) {
        // The row loops' single step, kept small enough to sit in them.
        if (rows == 1.0) {
            edge_.x += edge_.x_step;
            if (has_values_) {
                edge_.values.step<n>(edge_.steps);
            } else {
                ++owed_;
            }
            return;
        }
        advance_rows<n>(rows);
    }

    float x() const { return edge_.x; }
    float y() const { return edge_.y; }
    float y_end() const { return edge_.y_end; }
    const interpolants_t& values() const { return edge_.values; }
    const edge_t& edge() const { return edge_; }

private:
    template <int n>
    void advance_rows(double rows) {
        if (rows <= exact_step_limit) {
            const auto count = static_cast<int64_t>(rows);
            edge_.x = chain_after(edge_.x, edge_.x_step, count);
            if (!has_values_) {
                owed_ += count;
                return;
            }
            for (int i = 0; i < n; ++i) edge_.values[i] = chain_after(edge_.values[i], edge_.steps[i], count);
            return;
        }
        take_values<n>();
        edge_.x = jumped(edge_.x, edge_.x_step, rows);
        edge_.values = jumped(edge_.values, edge_.steps, rows);
    }

    edge_t edge_;
    int64_t owed_ = 0;  // rows x has walked that the values have not
    triangle_set_up_t* set_up_ = nullptr;
    const vertex_t* from_ = nullptr;
    const vertex_t* to_ = nullptr;
    int start_index_ = 0;
    bool placed_ = false;
    bool has_values_ = false;
};
