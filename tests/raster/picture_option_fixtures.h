// Shared by the tests of the picture options: screen-space triangles drawn under a draw state, random closed meshes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "raster/frame_renderer.h"
#include "raster/pipeline.h"
#include "surfaces/draw_state.h"
#include "surfaces/frame_counters.h"
#include "surfaces/render_target.h"
#include "surfaces/texture.h"

// A screen-space triangle in any corner order, sorted as the pipeline sorts it and drawn.
inline void draw_screen_triangle(frame_renderer_t& renderer, const vertex_t& a, const vertex_t& b, const vertex_t& c,
                                 const texture_t& texture) {
    const vertex_t* v[3] = {&a, &b, &c};
    const corner_order_t order = order_corners(false, a, b, c);
    renderer.rasterise_triangle(*v[order.top], *v[order.middle], *v[order.bottom], order.middle_is_left, texture);
}

// A corner at (x, y) in screen space, with a colour, depth and texture coordinate.
inline vertex_t screen_corner(float x, float y, float z = 0.5f, vec4_t colour = {0.8f, 0.4f, 0.2f, 0.5f},
                              vec4_t texcoord = {0.0f, 0.0f, 0.0f, 0.0f}) {
    return vertex_t(vec4_t(x, y, z, 1.0f), colour, vec4_t(0.0f, 0.0f, 1.0f, 0.0f), texcoord);
}

// A closed mesh over the rectangle [x0, x1] x [y0, y1]: a grid of columns x rows cells whose
// inner points are moved at random (well inside their cells), each cell cut along a random
// diagonal, each triangle's corners in a random order. Every inner edge is shared by exactly
// two triangles; the outline is the rectangle.
struct random_sheet_t {
    std::vector<vertex_t> corners;  // three per triangle

    random_sheet_t(std::mt19937& random, int columns, int rows, float x0, float y0, float x1, float y1) {
        std::uniform_real_distribution<float> jitter(-0.35f, 0.35f);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        const float cell_w = (x1 - x0) / static_cast<float>(columns);
        const float cell_h = (y1 - y0) / static_cast<float>(rows);
        std::vector<vertex_t> points;
        for (int j = 0; j <= rows; ++j) {
            for (int i = 0; i <= columns; ++i) {
                float x = x0 + cell_w * static_cast<float>(i);
                float y = y0 + cell_h * static_cast<float>(j);
                if (i > 0 && i < columns) x += jitter(random) * cell_w;
                if (j > 0 && j < rows) y += jitter(random) * cell_h;
                if (i == columns) x = x1;
                if (j == rows) y = y1;
                points.push_back(screen_corner(
                    x, y, unit(random), vec4_t(unit(random), unit(random), unit(random), 0.25f + 0.5f * unit(random))));
            }
        }
        const auto at = [&](int i, int j) { return points[static_cast<size_t>(j * (columns + 1) + i)]; };
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < columns; ++i) {
                const vertex_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
                const bool other_diagonal = (random() & 1) != 0;
                add(random, a, b, other_diagonal ? d : c);
                add(random, other_diagonal ? b : a, c, d);
            }
        }
    }

    size_t triangle_count() const { return corners.size() / 3; }

private:
    void add(std::mt19937& random, const vertex_t& a, const vertex_t& b, const vertex_t& c) {
        vertex_t t[3] = {a, b, c};
        std::shuffle(t, t + 3, random);
        corners.insert(corners.end(), t, t + 3);
    }
};
