// The indexed mesh: storage, filling, and handing its slots to the frame renderer.
#include "mesh/mesh.h"

#include "raster/frame_renderer.h"
#include "raster/frame_space.h"
#include "surfaces/screen.h"

mesh_t::mesh_t() = default;

mesh_t::mesh_t(int32_t vertex_capacity_, int32_t triangle_capacity_) {
    if (vertex_capacity_ > 0) {
        vertices.reset(new vertex_t[static_cast<size_t>(vertex_capacity_)]);
        vertex_capacity = vertex_capacity_;
    }
    if (triangle_capacity_ > 0) {
        triangles.reset(new triangle_t[static_cast<size_t>(triangle_capacity_)]);
        triangle_capacity = triangle_capacity_;
    }
    frame = std::make_unique<frame_space_t>();
    frame->grow_vertices(vertex_capacity);
    frame->grow_chunks(triangle_capacity);
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

indexed_mesh_t mesh_t::slots() const { return {vertices.get(), vertex_capacity, triangles.get(), triangle_capacity}; }

void mesh_t::render(screen_t& screen, const mat4_t& matrix, const texture_t& texture) const {
    if (!frame) return;  // the default mesh has no slot
    frame_renderer_t(screen, screen, screen, *frame, {screen.threads}).draw_mesh(slots(), matrix, texture);
}
