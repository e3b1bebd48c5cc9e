// The span rasteriser's entry points: one screen-space triangle, one half, one row, drawn into a screen.
//
// Conventions every stage relies on:
// - Screen x grows to the right and y grows downwards; integer coordinates are pixel centres.
// - Depth: smaller z is nearer; a fragment passes when z < stored depth (equal depth loses).
// - Float-to-integer conversions round half to even, and are range-checked (math/nearest.h).
// - Arithmetic is single precision, and the per-row and per-pixel values are produced by
//   repeated single-precision additions in a fixed order, so results are exact to the bit.
// - Pixels outside the framebuffer are walked (to keep the values in step) but never touched.
// - Coverage follows the draw state's edge rule. The demo's span rule: a half's rows run from
//   nearest(y) to nearest(y_end) - 1 of its short edge, a row's pixels from nearest(left x +
//   0.5) to nearest(right x - 0.5), the edges' x stepped row by row from their start corners;
//   triangles that share an edge may both miss a pixel along it (the demo's cracks) or both
//   draw it. The watertight rule (raster/watertight_coverage.h): the corners are snapped to
//   1/256 pixel; a pixel is covered when its centre (x, y) lies inside the snapped triangle,
//   decided by the three edge functions in 64-bit integers, a centre exactly on an edge
//   belonging to the triangle for which that edge is a top edge (horizontal, the triangle
//   below it) or a left edge (the triangle to its right). Two triangles sharing an edge then
//   cover every pixel along it exactly once, whatever their windings and corner orders. Each
//   row's values start at its first pixel inside the target from the planes through the top
//   corner (a + dx * d/dx + dy * d/dy, in double, rounded once) and step by d/dx per pixel as
//   the spans do, so every span path, band and thread count gives the same bits. A triangle
//   with a corner beyond 2^20 pixels (or not a number) is drawn by the span rule.
// - Lines (raster/edge_lines.h) and texture filters (raster/texture_filter.h) state their own.
//
// A frame's many triangles go through frame_renderer_t (raster/frame_renderer.h), which these
// entries use as well, with the screen's three parts and one thread.
#pragma once

#include <cstdint>

#include "geometry/vertex.h"
#include "raster/edge.h"
#include "raster/gradients.h"

struct screen_t;
struct texture_t;

// top.y <= middle.y <= bottom.y; middle_is_left is non-zero when the middle vertex lies left
// of the long edge (top to bottom) or on it. Counts the triangle whether or not it covers a pixel.
void rasterise_triangle(screen_t& screen, const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                        int32_t middle_is_left, const texture_t& texture);

// Fills the rows of one half between the long edge and a short edge; the rows come from the
// short edge: nearest(y) up to nearest(y_end) - 1. Both edges are stepped once per row (rows
// above the framebuffer in one advance, rows below it not at all).
void draw_scanlines(screen_t& screen, const gradients_t& gradients, edge_t& long_edge, edge_t& short_edge,
                    int32_t middle_is_left, const texture_t& texture);

// Fills row y from nearest(left.x + 0.5) to nearest(right.x + 0.5 - 1); reads the edges only.
void draw_span(screen_t& screen, const gradients_t& gradients, const edge_t& left, const edge_t& right, int32_t y,
               const texture_t& texture);
