// The triangle pipeline: viewport, perspective divide, optional culling, sort by y, rasterise.
#include "raster/pipeline.h"

#include "raster/rasteriser.h"
#include "runtime/exchange.h"
#include "surfaces/screen.h"

screen_triangle_t to_screen_triangle(const screen_t& screen, const vertex_t& c1, const vertex_t& c2,
                                     const vertex_t& c3) {
    const float half_width = static_cast<float>(static_cast<double>(screen.width) / 2.0);
    const float half_height = static_cast<float>(static_cast<double>(screen.height) / 2.0);
    mat4_t viewport;
    viewport.viewport(half_width, half_height);

    // Corners at or behind the camera are handed on as they are (mirrored, or infinite);
    // the rasteriser bounds its work and its writes for any coordinates.
    screen_triangle_t t;
    t.top = perspective_divide(transform(c1, viewport));
    t.middle = perspective_divide(transform(c2, viewport));
    t.bottom = perspective_divide(transform(c3, viewport));

    if (screen.cull_backfaces != 0 && doubled_signed_area(t.top, t.middle, t.bottom) <= 0.0f) {
        t.culled = true;  // counter-clockwise on the screen, or degenerate
        return t;
    }

    // Strict comparisons: corners with equal y keep their relative order.
    if (t.bottom.y() < t.middle.y()) rt::exchange(t.middle, t.bottom);
    if (t.middle.y() < t.top.y()) rt::exchange(t.top, t.middle);
    if (t.bottom.y() < t.middle.y()) rt::exchange(t.middle, t.bottom);

    t.middle_is_left = doubled_signed_area(t.top, t.middle, t.bottom) <= 0.0f ? -1 : 0;
    return t;
}

void draw_triangle(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                   const texture_t& texture) {
    const screen_triangle_t t = to_screen_triangle(screen, c1, c2, c3);
    if (t.culled) return;
    rasterise_triangle(screen, t.top, t.middle, t.bottom, t.middle_is_left, texture);
}
