// The triangle pipeline: clip-space corners to screen space, optional back-face culling, sorting by y.
#pragma once

#include <cstdint>

#include "geometry/vertex.h"

struct screen_t;
struct texture_t;

// A triangle in screen space, corners sorted top to bottom, as the rasteriser takes it.
struct screen_triangle_t {
    vertex_t top;
    vertex_t middle;
    vertex_t bottom;
    int32_t middle_is_left = 0;  // -1 when the middle corner lies left of the long edge or on it
    bool culled = false;         // dropped as a back face; the corners are then unsorted
};

// Viewport and perspective divide of the three clip-space corners, the back-face test when
// the screen culls, and the sort by y with three strict compare-and-exchange steps.
screen_triangle_t to_screen_triangle(const screen_t& screen, const vertex_t& c1, const vertex_t& c2,
                                     const vertex_t& c3);

// Maps the three clip-space corners through the screen's viewport and the perspective
// divide, drops the triangle when culling is on and it is a back face (doubled signed area
// <= 0), sorts the corners top to bottom with three strict compare-and-exchange steps and
// hands them to rasterise_triangle. Allocates nothing.
void draw_triangle(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                   const texture_t& texture);
