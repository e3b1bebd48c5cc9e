// model_t: a triangle model as read from a file, before it becomes a mesh: vertex attributes, triangles, texture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/vec4.h"

// Colour of faces without a material: a light grey that the shading still shows.
constexpr vec4_t default_model_colour{0.8f, 0.8f, 0.8f, 1.0f};

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
    // When not empty, the folder the texture file must lie in once symbolic links are followed.
    std::string reference_folder;

    // What reading left out (a material library or texture that cannot be read, indices of
    // normals that do not exist): one line each, "warning: " and the file it concerns first.
    std::vector<std::string> warnings;

    size_t vertex_count() const { return positions.size(); }
    size_t triangle_count() const { return indices.size() / 3; }
};

// What a model may hold and which files it may name. The mesh keeps 64 bytes per vertex and
// the model as much again, so the defaults keep a model under about 300 MB; larger ones are
// refused before their arrays are allocated. Files above max_file_bytes (the model file and
// each glTF buffer) are refused before they are read. An OBJ file's material libraries
// together may hold max_material_bytes and max_materials: a material costs about 2 KB.
struct model_limits_t {
    uint64_t max_file_bytes = 512ull << 20;
    uint64_t max_vertices = 2000000;
    uint64_t max_triangles = 2000000;
    uint64_t max_material_bytes = 16ull << 20;
    uint64_t max_materials = 16384;
    // glTF's JSON may nest arrays and objects this deep. tinygltf converts nested values
    // recursively; tens of thousands of levels would overflow the stack there.
    uint64_t max_json_depth = 512;
    // Every file the model names (material libraries, buffers, pictures) must lie inside the
    // model file's folder once symbolic links are followed; for drawing files from elsewhere,
    // such as thumbnails of downloads, without letting them read the rest of the disk.
    bool confine_to_model_folder = false;
};
