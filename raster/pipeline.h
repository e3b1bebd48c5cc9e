// The triangle pipeline: clip-space corners to screen space, optional back-face culling, sorting by y.
#pragma once

#include <cstdint>

#include "base/exchange.h"
#include "geometry/vertex.h"
#include "math/mat4.h"

struct render_target_t;
struct screen_t;
struct texture_t;

// The target's viewport matrix: normalised x -1..1 to -0.5..width - 0.5, y +1..-1 to
// -0.5..height - 0.5.
mat4_t viewport_of(const render_target_t& target);

// One corner through the viewport and the perspective divide. A pure function of the corner
// and the matrix, so a corner shared by several triangles may be mapped once.
inline vertex_t to_screen_vertex(const vertex_t& clip, const mat4_t& viewport) {
    return perspective_divide(transform(clip, viewport));
}

// Which of three screen-space corners is top, middle and bottom (indices 0..2 in the order
// given), or that the triangle is culled.
struct corner_order_t {
    uint8_t top = 0;
    uint8_t middle = 1;
    uint8_t bottom = 2;
    int32_t middle_is_left = 0;  // -1 when the middle corner lies left of the long edge or on it
    bool culled = false;         // a back face (doubled signed area <= 0) on a culling screen
};

// The back-face test when the screen culls, then the sort by y with three strict
// compare-and-exchange steps, so corners with equal y keep their relative order.
// Inline: the mesh path runs it once per triangle, where the call and the returned record
// cost as much as the sort.
inline corner_order_t order_corners(bool cull_backfaces, const vertex_t& a, const vertex_t& b, const vertex_t& c) {
    corner_order_t order;
    if (cull_backfaces && doubled_signed_area(a, b, c) <= 0.0f) {
        order.culled = true;  // counter-clockwise on the screen, or degenerate
        return order;
    }
    const vertex_t* v[3] = {&a, &b, &c};
    float y[3] = {a.y(), b.y(), c.y()};
    const auto exchange_if_above = [&](uint8_t& upper, uint8_t& lower, int i, int j) {
        if (y[j] < y[i]) {
            base::exchange(upper, lower);
            base::exchange(y[i], y[j]);
        }
    };
    exchange_if_above(order.middle, order.bottom, 1, 2);
    exchange_if_above(order.top, order.middle, 0, 1);
    exchange_if_above(order.middle, order.bottom, 1, 2);
    order.middle_is_left = doubled_signed_area(*v[order.top], *v[order.middle], *v[order.bottom]) <= 0.0f ? -1 : 0;
    return order;
}

// The three clip-space corners through the viewport and the perspective divide, then
// order_corners: draw(top, middle, bottom, middle_is_left) unless the triangle is culled. The
// corners are sorted by reference, not copied. Corners at or behind the camera are handed on
// as they are (mirrored, or infinite): the rasteriser bounds its work and its writes for any
// coordinates.
template <class Draw>
void map_and_sort(const mat4_t& viewport, bool cull_backfaces, const vertex_t& c1, const vertex_t& c2,
                  const vertex_t& c3, Draw&& draw) {
    const vertex_t corners[3] = {to_screen_vertex(c1, viewport), to_screen_vertex(c2, viewport),
                                 to_screen_vertex(c3, viewport)};
    const corner_order_t order = order_corners(cull_backfaces, corners[0], corners[1], corners[2]);
    if (!order.culled) draw(corners[order.top], corners[order.middle], corners[order.bottom], order.middle_is_left);
}

// Maps the three clip-space corners through the screen's viewport and the perspective
// divide, drops the triangle when culling is on and it is a back face (doubled signed area
// <= 0), sorts the corners top to bottom with three strict compare-and-exchange steps and
// hands them to the rasteriser, through frame_renderer_t on one thread. Allocates nothing.
void draw_triangle(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                   const texture_t& texture);
