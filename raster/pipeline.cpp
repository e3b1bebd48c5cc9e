// The triangle pipeline: viewport, perspective divide, optional culling, sort by y, rasterise.
#include "raster/pipeline.h"

#include "raster/rasteriser.h"
#include "runtime/exchange.h"
#include "target/screen.h"

void draw_triangle(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                   const texture_t& texture) {
    const float half_width = static_cast<float>(static_cast<double>(screen.width) / 2.0);
    const float half_height = static_cast<float>(static_cast<double>(screen.height) / 2.0);
    mat4_t viewport;
    viewport.viewport(half_width, half_height);

    // Corners at or behind the camera are handed on as they are (mirrored, or infinite);
    // the rasteriser bounds its work and its writes for any coordinates.
    vertex_t p0 = perspective_divide(transform(c1, viewport));
    vertex_t p1 = perspective_divide(transform(c2, viewport));
    vertex_t p2 = perspective_divide(transform(c3, viewport));

    if (screen.cull_backfaces != 0 && doubled_signed_area(p0, p1, p2) <= 0.0f) {
        return;  // counter-clockwise on the screen, or degenerate
    }

    // Strict comparisons: corners with equal y keep their relative order.
    if (p2.y() < p1.y()) rt::exchange(p1, p2);
    if (p1.y() < p0.y()) rt::exchange(p0, p1);
    if (p2.y() < p1.y()) rt::exchange(p1, p2);

    const int32_t middle_is_left = doubled_signed_area(p0, p1, p2) <= 0.0f ? -1 : 0;
    rasterise_triangle(screen, p0, p1, p2, middle_is_left, texture);
}
