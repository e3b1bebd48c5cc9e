// The rasteriser's entry points over a screen, through the frame renderer and the row rasteriser.
#include "raster/rasteriser.h"

#include "raster/edge_walker.h"
#include "raster/frame_renderer.h"
#include "raster/row_rasteriser.h"
#include "raster/triangle_rows.h"
#include "surfaces/screen.h"

void rasterise_triangle(screen_t& screen, const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                        int32_t middle_is_left, const texture_t& texture) {
    frame_renderer_t(screen, screen, screen).rasterise_triangle(top, middle, bottom, middle_is_left, texture);
}

void draw_scanlines(screen_t& screen, const gradients_t& g, edge_t& long_edge, edge_t& short_edge,
                    int32_t middle_is_left, const texture_t& texture) {
    const half_walk_t walk = walk_of_half(short_edge.y, short_edge.y_end, 0, screen.height);
    if (!walk.has_rows) return;
    edge_walker_t walkers[2];
    walkers[0].begin(long_edge);
    walkers[1].begin(short_edge);
    edge_walker_t& left = middle_is_left != 0 ? walkers[1] : walkers[0];
    edge_walker_t& right = middle_is_left != 0 ? walkers[0] : walkers[1];
    if (walk.passed > 0.0) {
        left.advance<interpolant::count>(walk.passed);
        right.advance<interpolant::count>(walk.passed);
    }
    row_rasteriser_t rows(screen, screen, 0, static_cast<int32_t>(screen.height));
    for (int64_t y = walk.first; y <= walk.last; ++y) {
        screen.pixel_count += rows.draw_span(g, left.edge(), right.edge(), static_cast<int32_t>(y), texture);
        left.advance<interpolant::count>(1.0);
        right.advance<interpolant::count>(1.0);
    }
    long_edge = walkers[0].edge();
    short_edge = walkers[1].edge();
}

void draw_span(screen_t& screen, const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y,
               const texture_t& texture) {
    row_rasteriser_t rows(screen, screen, 0, static_cast<int32_t>(screen.height));
    screen.pixel_count += rows.draw_span(g, left, right, y, texture);
}
