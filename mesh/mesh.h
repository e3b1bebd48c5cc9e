// triangle_t and mesh_t: a fixed-capacity indexed triangle mesh drawn through the triangle pipeline.
#pragma once

#include <cstdint>
#include <memory>

#include "geometry/vertex.h"
#include "math/mat4.h"

struct mesh_frame_t;
struct screen_t;
struct texture_t;

struct triangle_t {
    int32_t a = 0;
    int32_t b = 0;
    int32_t c = 0;

    constexpr triangle_t() = default;
    constexpr triangle_t(int32_t a_, int32_t b_, int32_t c_) : a(a_), b(b_), c(c_) {}
};

struct mesh_t {
    std::unique_ptr<vertex_t[]> vertices;     // vertex_capacity slots
    std::unique_ptr<triangle_t[]> triangles;  // triangle_capacity slots
    int32_t triangle_capacity = 0;
    int32_t vertex_capacity = 0;
    int32_t vertex_count = 0;
    int32_t triangle_count = 0;
    // render()'s work space: one render of a mesh at a time.
    std::unique_ptr<mesh_frame_t> frame;

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

    // Every triangle slot in order, filled or not: transforms the corners c, b, a by the
    // matrix and hands them to the pipeline as a, b, c. A slot whose indices fall outside the
    // vertex array is skipped rather than read out of bounds. With the screen's clip_triangles
    // flag set each triangle goes through the clipper as clip_and_draw takes it (its whole fan).
    // Each vertex is transformed (and, off the clipper's route, mapped to the screen) once;
    // with the screen's threads the vertices and triangles are prepared in parallel chunks and
    // drawn in bands. The picture and the counters are those of the triangle-by-triangle walk.
    void render(screen_t& screen, const mat4_t& matrix, const texture_t& texture) const;
};
