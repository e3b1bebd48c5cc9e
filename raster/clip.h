// Homogeneous clipping in front of the triangle pipeline: the polygon clipper on vertex lists, clip_and_draw and
// draw_if_inside.
#pragma once

#include <cstdint>

#include "collections/vertex_lists.h"
#include "geometry/vertex.h"

struct screen_t;
struct texture_t;

// The clip volume is -w <= x, y, z <= w. A plane is an axis (0 x, 1 y, 2 z) and a sign (+1 or
// -1); a vertex is inside it when sign * component, rounded to single, is <= w.

// One Sutherland-Hodgman step: appends to `destination` the part of the polygon `source` on the
// inside of the plane. The walk starts with the edge from the last vertex to the first; each
// edge contributes its crossing point (when its ends lie on different sides) and then its end
// vertex (when inside). The crossing vertex is the lerp of the edge's ends, every member, at
// t = dPrev / (dPrev - w_cur + s_cur), each step rounded to single. `source` is unchanged.
void clip_against_plane(const ktList<vertex_t>& source, int axis, float sign, ktList<vertex_t>& destination);

// Clips `working` against (axis, +1) into `scratch` and back against (axis, -1). False when the
// polygon vanished on either plane. Both lists are emptied on the way; on true the clipped
// polygon is in `working` and `scratch` is empty.
bool clip_against_axis(ktList<vertex_t>& working, ktList<vertex_t>& scratch, int axis);

// The triangle (c1, c2, c3) clipped against the axes x, y and z in turn, into `polygon` (which
// is emptied first). False, with `polygon` empty, when it vanished; otherwise `polygon` holds a
// convex polygon of three to nine vertices, [c1, c2, c3] itself when nothing was cut. Rounded
// crossing points can bend a nearly degenerate polygon enough for a plane to cut it more than
// twice, so a few more corners are possible (each plane at most doubles the count).
bool clip_triangle(const vertex_t& c1, const vertex_t& c2, const vertex_t& c3, ktList<vertex_t>& polygon);

// Calls draw(v0, vk, vk+1) for k = 1 .. n - 2: the polygon as a fan around its first vertex,
// keeping its winding. Fewer than three vertices give no triangle.
template <class DrawTriangle>
void for_each_fan_triangle(const ktList<vertex_t>& polygon, DrawTriangle&& draw) {
    const std::int32_t n = polygon.size();
    if (n < 3) return;
    const vertex_t first = polygon.get(0);
    vertex_t previous = polygon.get(1);
    for (std::int32_t k = 2; k < n; ++k) {
        const vertex_t current = polygon.get(k);
        draw(first, previous, current);
        previous = current;
    }
}

// Inside all six planes by the rule the clipper itself applies.
bool inside_every_plane(const vertex_t& v);

// Calls draw(a, b, c) for every triangle of (c1, c2, c3) cut to the view volume, in order: the
// fan of the clipped polygon. A triangle with every corner inside every plane comes through
// each plane as it went in, [c1, c2, c3] in order (no edge crosses, every corner is kept), and
// its fan is the single triangle (c1, c2, c3): it goes straight on, without the lists.
template <class DrawTriangle>
void for_each_clipped_triangle(const vertex_t& c1, const vertex_t& c2, const vertex_t& c3, DrawTriangle&& draw) {
    if (inside_every_plane(c1) && inside_every_plane(c2) && inside_every_plane(c3)) {
        draw(c1, c2, c3);
        return;
    }
    ktList<vertex_t> polygon;
    if (clip_triangle(c1, c2, c3, polygon)) for_each_fan_triangle(polygon, draw);
    polygon.clear();
}

// Clips the clip-space triangle to the view volume and draws what is left through the
// pipeline's draw_triangle (frame_renderer_t on one thread). Every triangle of the clipped
// polygon is drawn (the fan above), so a triangle cut into four or more corners is covered
// completely. A triangle with every corner inside every plane goes straight to draw_triangle
// (the lists would hand on the same three corners); any other allocates, unlike
// draw_triangle: one list node per vertex per plane.
void clip_and_draw(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                   const texture_t& texture);

// Hands the triangle to draw_triangle only when all three corners pass is_inside (|x|, |y|,
// |z| <= |w|); otherwise drops it whole.
void draw_if_inside(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                    const texture_t& texture);
