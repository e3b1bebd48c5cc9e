// Counting, checking and emitting glTF triangle primitives: lists, strips and fans unrolled into a model's triangles.
#include "model/gltf_primitives.h"

#include <array>

namespace {

uint64_t triangles_of(int mode, uint64_t corners) {
    if (mode == TINYGLTF_MODE_TRIANGLES) return corners / 3;
    return corners >= 3 ? corners - 2 : 0;
}

// Corner k of triangle t of a list, strip or fan, in the order that keeps the front face's winding.
size_t corner_of(int mode, uint64_t t, int k) {
    if (mode == TINYGLTF_MODE_TRIANGLES) return static_cast<size_t>(t * 3 + static_cast<uint64_t>(k));
    if (mode == TINYGLTF_MODE_TRIANGLE_FAN) return k == 0 ? 0 : static_cast<size_t>(t + static_cast<uint64_t>(k));
    // Strips swap the first two corners of every odd triangle.
    if (t % 2 == 1 && k < 2) return static_cast<size_t>(t + 1 - static_cast<uint64_t>(k));
    return static_cast<size_t>(t + static_cast<uint64_t>(k));
}

// The vertex of the primitive's corner: an index, or the corner itself without indices.
uint32_t vertex_of(const gltf_primitive_t& primitive, size_t corner) {
    return primitive.indices.first != nullptr ? index_at(primitive.indices, corner) : static_cast<uint32_t>(corner);
}

}  // namespace

bool draws_triangles(int mode) {
    return mode == TINYGLTF_MODE_TRIANGLES || mode == TINYGLTF_MODE_TRIANGLE_STRIP ||
           mode == TINYGLTF_MODE_TRIANGLE_FAN;
}

bool count_triangle_primitives(const tinygltf::Model& gltf, const std::vector<placed_mesh_t>& placed,
                               const model_limits_t& limits, gltf_counts_t* counts, std::string* why) {
    *counts = {};
    for (const placed_mesh_t& p : placed) {
        for (const tinygltf::Primitive& primitive : gltf.meshes[static_cast<size_t>(p.mesh)].primitives) {
            if (!draws_triangles(primitive.mode)) continue;
            const auto position = primitive.attributes.find("POSITION");
            if (position == primitive.attributes.end()) {
                *why = "a triangle primitive has no POSITION attribute";
                return false;
            }
            if (position->second < 0 || static_cast<size_t>(position->second) >= gltf.accessors.size()) {
                *why = "the POSITION accessor does not exist";
                return false;
            }
            const uint64_t vertices = gltf.accessors[static_cast<size_t>(position->second)].count;
            uint64_t corners = vertices;
            if (primitive.indices >= 0) {
                if (static_cast<size_t>(primitive.indices) >= gltf.accessors.size()) {
                    *why = "the indices accessor does not exist";
                    return false;
                }
                corners = gltf.accessors[static_cast<size_t>(primitive.indices)].count;
            }
            counts->vertices += vertices;
            counts->triangles += triangles_of(primitive.mode, corners);
            // Checked at every step, so the sums stay far from overflowing.
            if (counts->vertices > limits.max_vertices || counts->triangles > limits.max_triangles) {
                *why = "too large: more than " + std::to_string(limits.max_vertices) + " vertices or " +
                       std::to_string(limits.max_triangles) + " triangles";
                return false;
            }
        }
    }
    if (counts->triangles == 0) {
        *why = "no triangles";
        return false;
    }
    return true;
}

bool check_triangle_primitive(const tinygltf::Model& gltf, const tinygltf::Primitive& primitive,
                              gltf_primitive_t* checked, std::string* why) {
    const auto refuse = [&](const char* problem) {
        *why = problem;
        return false;
    };
    *checked = {};
    checked->mode = primitive.mode;
    if (!view_accessor(gltf, primitive.attributes.at("POSITION"), TINYGLTF_TYPE_VEC3, "POSITION", &checked->positions,
                       why)) {
        return false;
    }
    const size_t vertices = checked->positions.count;
    if (checked->positions.component_type != TINYGLTF_COMPONENT_TYPE_FLOAT) {
        return refuse("POSITION is not made of floats");
    }
    if (const auto normal = primitive.attributes.find("NORMAL"); normal != primitive.attributes.end()) {
        if (!view_accessor(gltf, normal->second, TINYGLTF_TYPE_VEC3, "NORMAL", &checked->normals, why)) return false;
        checked->has_normals = true;
        if (checked->normals.count != vertices || checked->normals.component_type != TINYGLTF_COMPONENT_TYPE_FLOAT) {
            return refuse("NORMAL does not match POSITION");
        }
    }
    if (const auto texcoord = primitive.attributes.find("TEXCOORD_0"); texcoord != primitive.attributes.end()) {
        if (!view_accessor(gltf, texcoord->second, TINYGLTF_TYPE_VEC2, "TEXCOORD_0", &checked->texcoords, why)) {
            return false;
        }
        if (checked->texcoords.count != vertices) return refuse("TEXCOORD_0 does not match POSITION");
        checked->has_texcoords = true;
    }
    size_t corners = vertices;
    if (primitive.indices >= 0) {
        if (!view_accessor(gltf, primitive.indices, TINYGLTF_TYPE_SCALAR, "indices", &checked->indices, why)) {
            return false;
        }
        const int type = checked->indices.component_type;
        if (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
            type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
            return refuse("the indices are not unsigned integers");
        }
        corners = checked->indices.count;
    }
    checked->triangles = triangles_of(primitive.mode, corners);
    // Every corner a triangle uses: a list's trailing corners beyond its last triangle are not.
    const size_t used = primitive.mode == TINYGLTF_MODE_TRIANGLES ? checked->triangles * 3 : corners;
    for (size_t corner = 0; checked->triangles != 0 && corner < used; ++corner) {
        const uint32_t v = vertex_of(*checked, corner);
        if (v >= vertices) {
            *why = "an index is out of range: " + std::to_string(v) + " of " + std::to_string(vertices) + " vertices";
            return false;
        }
    }
    if (primitive.material >= 0 && static_cast<size_t>(primitive.material) < gltf.materials.size()) {
        const std::vector<double>& f =
            gltf.materials[static_cast<size_t>(primitive.material)].pbrMetallicRoughness.baseColorFactor;
        if (f.size() == 4) {
            checked->colour = vec4_t(static_cast<float>(f[0]), static_cast<float>(f[1]), static_cast<float>(f[2]),
                                     static_cast<float>(f[3]));
        }
    }
    return true;
}

void emit_triangle_primitive(const gltf_primitive_t& primitive, const transform_t& m, model_t* model) {
    // Normals turn with the inverse transpose of the linear part: its cofactors, with the
    // determinant's sign so that a mirroring transform keeps them pointing outwards.
    const std::array<double, 9> cof{m[5] * m[10] - m[6] * m[9], m[6] * m[8] - m[4] * m[10], m[4] * m[9] - m[5] * m[8],
                                    m[2] * m[9] - m[1] * m[10], m[0] * m[10] - m[2] * m[8], m[1] * m[8] - m[0] * m[9],
                                    m[1] * m[6] - m[2] * m[5],  m[2] * m[4] - m[0] * m[6],  m[0] * m[5] - m[1] * m[4]};
    const double determinant = m[0] * cof[0] + m[1] * cof[1] + m[2] * cof[2];
    const double sign = determinant < 0.0 ? -1.0 : 1.0;
    const accessor_view_t& positions = primitive.positions;
    const accessor_view_t& normals = primitive.normals;
    const accessor_view_t& texcoords = primitive.texcoords;
    const auto base = static_cast<uint32_t>(model->positions.size());
    for (size_t i = 0; i < positions.count; ++i) {
        const double x = component(positions, i, 0), y = component(positions, i, 1), z = component(positions, i, 2);
        model->positions.emplace_back(static_cast<float>(m[0] * x + m[4] * y + m[8] * z + m[12]),
                                      static_cast<float>(m[1] * x + m[5] * y + m[9] * z + m[13]),
                                      static_cast<float>(m[2] * x + m[6] * y + m[10] * z + m[14]), 1.0f);
        if (primitive.has_normals) {
            const double nx = component(normals, i, 0), ny = component(normals, i, 1), nz = component(normals, i, 2);
            model->normals.emplace_back(static_cast<float>(sign * (cof[0] * nx + cof[3] * ny + cof[6] * nz)),
                                        static_cast<float>(sign * (cof[1] * nx + cof[4] * ny + cof[7] * nz)),
                                        static_cast<float>(sign * (cof[2] * nx + cof[5] * ny + cof[8] * nz)), 0.0f);
        } else {
            model->normals.emplace_back(0.0f, 0.0f, 0.0f, 0.0f);
        }
        // glTF puts v = 0 at the picture's top row, as the texture does.
        model->texcoords.push_back(primitive.has_texcoords
                                       ? vec4_t(component(texcoords, i, 0), component(texcoords, i, 1), 0, 0)
                                       : vec4_t(0.0f, 0.0f, 0.0f, 0.0f));
        model->colours.push_back(primitive.colour);
    }
    for (uint64_t t = 0; t < primitive.triangles; ++t) {
        std::array<uint32_t, 3> corner{};
        for (int k = 0; k < 3; ++k) {
            corner[static_cast<size_t>(k)] = base + vertex_of(primitive, corner_of(primitive.mode, t, k));
        }
        // A mirroring transform turns the faces round; swapping two corners turns them back.
        if (determinant < 0.0) std::swap(corner[1], corner[2]);
        model->indices.insert(model->indices.end(), corner.begin(), corner.end());
    }
}
