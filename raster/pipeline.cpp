// The triangle pipeline: viewport, perspective divide, optional culling, sort by y.
#include "raster/pipeline.h"

#include "raster/frame_renderer.h"
#include "surfaces/screen.h"

mat4_t viewport_of(const render_target_t& target) {
    const float half_width = static_cast<float>(static_cast<double>(target.width) / 2.0);
    const float half_height = static_cast<float>(static_cast<double>(target.height) / 2.0);
    mat4_t viewport;
    viewport.viewport(half_width, half_height);
    return viewport;
}

void draw_triangle(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                   const texture_t& texture) {
    frame_renderer_t(screen, screen, screen).draw_triangle(c1, c2, c3, texture);
}
