// mesh_t: a fixed-capacity indexed triangle mesh, drawn through the frame renderer.
#pragma once

#include <cstdint>
#include <memory>

#include "geometry/triangle.h"
#include "geometry/vertex.h"
#include "math/mat4.h"

struct frame_space_t;
struct indexed_mesh_t;
struct screen_t;
struct texture_t;

struct mesh_t {
    std::unique_ptr<vertex_t[]> vertices;     // vertex_capacity slots
    std::unique_ptr<triangle_t[]> triangles;  // triangle_capacity slots
    int32_t triangle_capacity = 0;
    int32_t vertex_capacity = 0;
    int32_t vertex_count = 0;
    int32_t triangle_count = 0;
    // render()'s arrays, grown with the mesh so that drawing allocates nothing: one render of
    // a mesh at a time.
    std::unique_ptr<frame_space_t> frame;

    mesh_t();
    // Vertices first. Every slot starts default-constructed; a capacity below 1 gets no array.
    mesh_t(int32_t vertex_capacity, int32_t triangle_capacity);
    ~mesh_t();
    mesh_t(const mesh_t&) = delete;
    mesh_t& operator=(const mesh_t&) = delete;

    // Copy into the next free slot; a full mesh refuses (false) instead of writing past its array.
    bool add_vertex(const vertex_t& vertex);
    bool add_triangle(const triangle_t& triangle);
    bool add_triangle(int32_t a, int32_t b, int32_t c);

    // Every slot, filled or not, as frame_renderer_t::draw_mesh takes it.
    indexed_mesh_t slots() const;

    // Every triangle slot in order through frame_renderer_t::draw_mesh with the screen's
    // parts and threads: the corners c, b, a transformed by the matrix and handed to the
    // pipeline as a, b, c (through the clipper, the whole fan, with the screen's
    // clip_triangles set). The picture and the counters are those of the triangle-by-triangle
    // walk, on any number of threads.
    void render(screen_t& screen, const mat4_t& matrix, const texture_t& texture) const;
};
