// The triangle pipeline: viewport, perspective divide, optional culling, sort by y.
#include "raster/pipeline.h"

#include "raster/frame_renderer.h"

mat4_t viewport_of(const render_target_t& target) {
    const float half_width = static_cast<float>(static_cast<double>(target.width) / 2.0);
    const float half_height = static_cast<float>(static_cast<double>(target.height) / 2.0);
    mat4_t viewport;
    viewport.viewport(half_width, half_height);
    return viewport;
}

screen_triangle_t to_screen_triangle(const screen_t& screen, const vertex_t& c1, const vertex_t& c2,
                                     const vertex_t& c3) {
    // Corners at or behind the camera are handed on as they are (mirrored, or infinite);
    // the rasteriser bounds its work and its writes for any coordinates.
    const mat4_t viewport = viewport_of(screen);
    const vertex_t corners[3] = {to_screen_vertex(c1, viewport), to_screen_vertex(c2, viewport),
                                 to_screen_vertex(c3, viewport)};
    const corner_order_t order = order_corners(screen.cull_backfaces != 0, corners[0], corners[1], corners[2]);
    screen_triangle_t t;
    t.culled = order.culled;
    if (order.culled) {
        t.top = corners[0];
        t.middle = corners[1];
        t.bottom = corners[2];
        return t;
    }
    t.top = corners[order.top];
    t.middle = corners[order.middle];
    t.bottom = corners[order.bottom];
    t.middle_is_left = order.middle_is_left;
    return t;
}

void draw_triangle(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                   const texture_t& texture) {
    frame_renderer_t(screen, screen, screen).draw_triangle(c1, c2, c3, texture);
}
