// row_rasteriser_t: draws triangles into a window of the framebuffer's rows (a band, or all of them).
#pragma once

#include <cstdint>

#include "geometry/vertex.h"
#include "raster/edge_walker.h"
#include "raster/span_fill.h"

struct draw_state_t;
struct render_target_t;
struct texture_t;

// Where row y's filled span meets the framebuffer; it depends on the edges' x alone.
struct span_columns_t {
    float xs = 0.0f;       // the first sample, half a pixel right of the left edge
    double x_first = 0.0;  // its column, possibly left of the framebuffer
    int64_t x_begin = 0;   // the first and last columns drawn
    int64_t x_end = 0;
};

// Draws triangle after triangle into rows row_begin .. row_end - 1 of the target (cut to its
// height), each with the values a walk over the whole framebuffer has there, keeping its work
// space from one triangle to the next. Counts nothing itself: draw() returns the pixels
// written, and the caller counts them and the triangles.
//
// Which rows and columns a triangle covers follows from its edges' x alone, so the gradients
// and the edges' values, most of the set-up, are made only when a span first reaches a pixel
// (edge_walker_t); every value then has the bits of an eager set-up. Without texturing only
// the colour, z and shade are set up and stepped. The mode flags are read at every triangle.
class row_rasteriser_t {
public:
    row_rasteriser_t(render_target_t& target, const draw_state_t& state, int32_t row_begin, int32_t row_end);

    // top.y <= middle.y <= bottom.y; middle_is_left is non-zero when the middle vertex lies left
    // of the long edge (top to bottom) or on it. Returns the pixels written.
    uint32_t draw(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, int32_t middle_is_left,
                  const texture_t& texture);

    // Row y (any row of the target) between two edges set up by the caller; reads the edges
    // only. Returns the pixels written.
    uint32_t draw_span(const gradients_t& gradients, const edge_t& left, const edge_t& right, int32_t y,
                       const texture_t& texture);

private:
    // The triangle's pixels under the draw state's edge rule.
    void fill();
    // A triangle of a few rows, all inside the window, whose corners lie within the
    // framebuffer's columns (raster/small_triangle.cpp). False, having drawn nothing, when the
    // triangle is not such a one.
    template <int n>
    bool draw_small();
    // The triangle under the watertight rule (raster/watertight_rows.cpp). False, having drawn
    // nothing, when a corner lies beyond the snapping grid's reach: the span rule draws it.
    template <int n>
    bool draw_watertight();
    // The triangle's three edges as lines (raster/edge_lines.h), over its fill or alone.
    void draw_edge_lines();
    // Sends a filled row to the pixels: short untextured rows at once, others in batches.
    template <int n>
    void take_row(const span_columns_t& columns, const interpolants_t& left_values, float left_x, int32_t y,
                  int& batched);
    // The same for rows_[batched], its start values set.
    void queue_row(int& batched);
    void flush_rows(int batched);
    // Filled rows of one triangle through the span fill of the draw state's mode and filter.
    uint32_t fill_rows(const span_row_t* rows, int count, const gradients_t& g, const texture_t& texture) const;

    template <int n>
    void walk_half(edge_walker_t& short_edge);
    template <int n>
    void walk_filled_rows(int64_t y, int64_t y_last, edge_walker_t& left, edge_walker_t& right,
                          const span_columns_t* first_row);

    render_target_t& target_;
    const draw_state_t& state_;
    const texture_t* texture_ = nullptr;
    int64_t row_begin_ = 0;
    int64_t row_end_ = 0;
    // draw_small's bounds: the window's rows and the last column, as floats (the column
    // limit is negative when nothing can be drawn).
    float small_row_begin_ = 0.0f;
    float small_row_end_ = 0.0f;
    float small_x_limit_ = -1.0f;
    // The triangle being drawn: its corners (in the set-up) and the side of its middle corner.
    triangle_set_up_t set_up_;
    int32_t middle_is_left_ = 0;
    edge_walker_t long_;
    edge_walker_t upper_;
    edge_walker_t lower_;
    uint32_t pixels_ = 0;
    span_row_t rows_[span_batch_rows];
};
