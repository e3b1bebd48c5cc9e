// The indexed mesh: storage, filling and per-frame drawing.
#include "mesh/mesh.h"

#include <new>

#include "raster/clip.h"
#include "raster/pipeline.h"
#include "surfaces/screen.h"

mesh_t::mesh_t(int32_t vertex_capacity_, int32_t triangle_capacity_) {
    if (vertex_capacity_ > 0) {
        vertices.reset(new vertex_t[static_cast<size_t>(vertex_capacity_)]);
        vertex_capacity = vertex_capacity_;
    }
    if (triangle_capacity_ > 0) {
        triangles.reset(new triangle_t[static_cast<size_t>(triangle_capacity_)]);
        triangle_capacity = triangle_capacity_;
    }
}

mesh_t::~mesh_t() {
    vertices.reset();
    triangles.reset();
    vertex_capacity = triangle_capacity = vertex_count = triangle_count = 0;
}

bool mesh_t::add_vertex(const vertex_t& vertex) {
    if (vertex_count >= vertex_capacity) return false;
    vertices[static_cast<size_t>(vertex_count)] = vertex;
    ++vertex_count;
    return true;
}

bool mesh_t::add_triangle(const triangle_t& triangle) {
    if (triangle_count >= triangle_capacity) return false;
    triangles[static_cast<size_t>(triangle_count)] = triangle;
    ++triangle_count;
    return true;
}

bool mesh_t::add_triangle(int32_t a, int32_t b, int32_t c) { return add_triangle(triangle_t(a, b, c)); }

void mesh_t::render(screen_t& screen, const mat4_t& matrix, const texture_t& texture) const {
    const auto valid = [this](int32_t i) { return i >= 0 && i < vertex_capacity; };
    for (int32_t i = 0; i < triangle_capacity; ++i) {
        const triangle_t& t = triangles[static_cast<size_t>(i)];
        if (!valid(t.a) || !valid(t.b) || !valid(t.c)) continue;
        const vertex_t tc = transform(vertices[static_cast<size_t>(t.c)], matrix);
        const vertex_t tb = transform(vertices[static_cast<size_t>(t.b)], matrix);
        const vertex_t ta = transform(vertices[static_cast<size_t>(t.a)], matrix);
        if (screen.clip_triangles != 0) {
            clip_and_draw(screen, ta, tb, tc, texture);
        } else {
            draw_triangle(screen, ta, tb, tc, texture);
        }
    }
}
