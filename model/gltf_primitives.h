// The triangle primitives of a placed glTF scene in three steps: counted against the limits, checked, emitted.
#pragma once

#include <tiny_gltf.h>

#include <cstdint>
#include <string>
#include <vector>

#include "math/vec4.h"
#include "model/gltf_accessor.h"
#include "model/gltf_scene.h"
#include "model/model.h"

// Step 1, before anything is allocated: the vertices and triangles of every triangle
// primitive (lists, strips and fans; points and lines are skipped) of the placed meshes, from
// the accessors' declared counts. False with the problem when a primitive has no positions,
// the counts pass the limits or there is no triangle.
struct gltf_counts_t {
    uint64_t vertices = 0;
    uint64_t triangles = 0;
};
bool count_triangle_primitives(const tinygltf::Model& gltf, const std::vector<placed_mesh_t>& placed,
                               const model_limits_t& limits, gltf_counts_t* counts, std::string* why);

// Step 2: one triangle primitive with every accessor checked against its buffer and every
// index used against the vertices, and its material's colour.
struct gltf_primitive_t {
    int mode = TINYGLTF_MODE_TRIANGLES;
    accessor_view_t positions;
    accessor_view_t normals;
    accessor_view_t texcoords;
    accessor_view_t indices;  // first null: none, the vertices taken in order
    bool has_normals = false;
    bool has_texcoords = false;
    uint64_t triangles = 0;
    vec4_t colour = default_model_colour;
};
bool check_triangle_primitive(const tinygltf::Model& gltf, const tinygltf::Primitive& primitive,
                              gltf_primitive_t* checked, std::string* why);

// Step 3, which cannot fail: the checked primitive's vertices appended to the model, positions
// and normals turned by the transform, and its triangles, kept front-facing by a mirroring one.
void emit_triangle_primitive(const gltf_primitive_t& primitive, const transform_t& transform, model_t* model);

// Whether the primitive's mode draws triangles.
bool draws_triangles(int mode);
