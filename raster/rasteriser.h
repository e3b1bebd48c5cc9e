// The span rasteriser: fills one screen-space triangle with depth test, blending, shading and texturing.
//
// Conventions every stage relies on:
// - Screen x grows to the right and y grows downwards; integer coordinates are pixel centres.
// - Depth: smaller z is nearer; a fragment passes when z < stored depth (equal depth loses).
// - Float-to-integer conversions round half to even, and are range-checked (raster/nearest.h).
// - Arithmetic is single precision, and the per-row and per-pixel values are produced by
//   repeated single-precision additions in a fixed order, so results are exact to the bit.
// - Pixels outside the framebuffer are walked (to keep the values in step) but never touched.
#pragma once

#include <cstdint>

#include "geometry/vertex.h"
#include "raster/edge.h"
#include "raster/gradients.h"
#include "raster/span_fill.h"

struct screen_t;
struct texture_t;

// top.y <= middle.y <= bottom.y; middle_is_left is non-zero when the middle vertex lies left
// of the long edge (top to bottom) or on it. Counts the triangle whether or not it covers a pixel.
void rasterise_triangle(screen_t& screen, const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                        int32_t middle_is_left, const texture_t& texture);

// Draws triangle after triangle into rows row_begin .. row_end - 1 of the screen (cut to the
// framebuffer), each with the values a walk over the whole framebuffer has there, keeping its
// work space from one triangle to the next. Leaves both counters alone: the caller counts the
// triangles and sums the pixels that draw() returns.
//
// Which rows and columns a triangle covers follows from its edges' x alone, so the gradients
// and the edges' values, most of the set-up, are made only when a span first reaches a pixel;
// the edges' values then take the rows their x already walked, one step at a time, so every
// value has the bits of an eager set-up. The small triangles of a dense mesh mostly reach no
// pixel. Without texturing only the colour, z and shade are set up and stepped.
struct span_columns_t;

class row_rasteriser_t {
public:
    row_rasteriser_t(screen_t& screen, const texture_t& texture, int32_t row_begin, int32_t row_end);

    // top.y <= middle.y <= bottom.y, middle_is_left as for rasterise_triangle. Returns the pixels written.
    uint32_t draw(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, int32_t middle_is_left);

    // One half over a set-up made by the caller (draw_scanlines); both edges come back
    // stepped as the walk left them.
    uint32_t draw_half(const gradients_t& gradients, edge_t& long_edge, edge_t& short_edge, int32_t middle_is_left);

private:
    // An edge whose x may run ahead of its values: until the set-up exists only x is stepped,
    // and `behind` counts the rows its values still have to take.
    // Until a half of the triangle needs it the edge is not even placed.
    struct lazy_edge_t {
        edge_t edge;
        int64_t behind = 0;
        const vertex_t* start = nullptr;
        const vertex_t* end = nullptr;
        int start_index = 0;  // of the start vertex in the gradients
        bool placed = false;
        bool has_values = false;

        void begin(const vertex_t& from, const vertex_t& to, int index);
        void take(const edge_t& made);  // an edge set up by the caller
        void place();
    };

    // A triangle of a few rows, all inside the window, whose corners lie within the
    // framebuffer's columns: its spans need no clamping, only the left edge's values are
    // read, and they are stepped only up to the rows that reach a pixel. False, having drawn
    // nothing, when the triangle is not such a one.
    template <int n>
    bool draw_small();
    // Sends a filled row to the pixels: short untextured rows at once, others in batches.
    template <int n>
    void take_row(const span_columns_t& columns, const interpolants_t& left_values, float left_x, int32_t y,
                  int& batched);
    void flush_rows(int batched);

    // The gradients, then the values of the half's two edges.
    template <int n>
    void make_set_up(lazy_edge_t& left, lazy_edge_t& right);
    template <int n>
    void catch_up(lazy_edge_t& e);
    template <int n>
    void step(lazy_edge_t& e);
    template <int n>
    void skip_rows(lazy_edge_t& e, int64_t rows);
    template <int n>
    void advance(lazy_edge_t& e, double rows);
    template <int n>
    void walk_half(lazy_edge_t& short_edge);
    template <int n>
    void fill_rows(int64_t y, int64_t y_last, edge_t& left, edge_t& right, const span_columns_t* first_row);

    screen_t& screen_;
    const texture_t& texture_;
    int64_t row_begin_ = 0;
    int64_t row_end_ = 0;
    // draw_small's bounds: the window's rows and the last column, as floats (the column
    // limit is negative when nothing can be drawn).
    float small_row_begin_ = 0.0f;
    float small_row_end_ = 0.0f;
    float small_x_limit_ = -1.0f;
    // The triangle being drawn.
    const vertex_t* top_ = nullptr;
    const vertex_t* middle_ = nullptr;
    const vertex_t* bottom_ = nullptr;
    int32_t middle_is_left_ = 0;
    bool made_ = false;
    gradients_t gradients_;
    lazy_edge_t long_;
    lazy_edge_t upper_;
    lazy_edge_t lower_;
    uint32_t pixels_ = 0;
    span_row_t rows_[span_batch_rows];
};

// Fills the rows of one half between the long edge and a short edge; the rows come from the
// short edge: nearest(y) up to nearest(y_end) - 1. Both edges are stepped once per row.
void draw_scanlines(screen_t& screen, const gradients_t& gradients, edge_t& long_edge, edge_t& short_edge,
                    int32_t middle_is_left, const texture_t& texture);

// Fills row y from nearest(left.x + 0.5) to nearest(right.x + 0.5 - 1); reads the edges only.
void draw_span(screen_t& screen, const gradients_t& gradients, const edge_t& left, const edge_t& right, int32_t y,
               const texture_t& texture);
