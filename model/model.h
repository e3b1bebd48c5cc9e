// model_t: a triangle model as read from a file, before it becomes a mesh: vertex attributes, triangles, texture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/vec4.h"

// Colour of faces without a material: a light grey that the shading still shows.
constexpr vec4_t default_material_colour{0.8f, 0.8f, 0.8f, 1.0f};

// One entry per vertex in each attribute array; every array has the same length.
struct model_t {
    std::vector<vec4_t> positions;  // x, y, z, 1
    std::vector<vec4_t> normals;    // x, y, z, 0
    std::vector<vec4_t> texcoords;  // u, v, 0, 0 with v = 0 at the picture's top row
    std::vector<vec4_t> colours;    // red, green, blue and the material's opacity, 0 .. 1
    std::vector<uint32_t> indices;  // three per triangle
    bool has_normals = false;       // the file gave a normal for every vertex
    bool has_texcoords = false;     // the file gave texture coordinates for some vertex

    // Where the texture comes from: a file (absolute or relative to the working folder) or,
    // for a glTF picture stored inside the model, its encoded bytes. Both empty: none.
    std::string texture_path;
    std::vector<uint8_t> texture_bytes;

    size_t vertex_count() const { return positions.size(); }
    size_t triangle_count() const { return indices.size() / 3; }
};

// What a model may hold. The mesh keeps 64 bytes per vertex and the model as much again, so
// the defaults keep a model under about 300 MB; larger ones are refused before their arrays
// are allocated. Files above max_file_bytes are refused before they are read.
struct model_limits_t {
    uint64_t max_file_bytes = 512ull << 20;
    uint64_t max_vertices = 2000000;
    uint64_t max_triangles = 2000000;
};
