// The triangle pipeline: clip-space corners to screen space, optional back-face culling, sorting by y.
#pragma once

#include "geometry/vertex.h"

struct screen_t;
struct texture_t;

// Maps the three clip-space corners through the screen's viewport and the perspective
// divide, drops the triangle when culling is on and it is a back face (doubled signed area
// <= 0), sorts the corners top to bottom with three strict compare-and-exchange steps and
// hands them to rasterise_triangle. Allocates nothing.
void draw_triangle(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                   const texture_t& texture);
