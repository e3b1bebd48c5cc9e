// A model's vertices and triangles copied into a mesh_t, in the demo's coordinates.
#include "model/model_mesh.h"

#include <algorithm>

std::unique_ptr<mesh_t> make_mesh(const model_t& model, float opacity) {
    auto mesh = std::make_unique<mesh_t>(static_cast<int32_t>(model.vertex_count()),
                                         static_cast<int32_t>(model.triangle_count()));
    for (size_t i = 0; i < model.vertex_count(); ++i) {
        const vec4_t& p = model.positions[i];
        const vec4_t& n = model.normals[i];
        const vec4_t& c = model.colours[i];
        mesh->add_vertex(vertex_t(vec4_t(p.x, p.y, -p.z, 1.0f),
                                  vec4_t(c.x, c.y, c.z, std::min(c.w * opacity, opaque_alpha)),
                                  vec4_t(-n.x, -n.y, n.z, 0.0f), model.texcoords[i]));
    }
    for (size_t t = 0; t + 2 < model.indices.size(); t += 3) {
        mesh->add_triangle(static_cast<int32_t>(model.indices[t]), static_cast<int32_t>(model.indices[t + 2]),
                           static_cast<int32_t>(model.indices[t + 1]));
    }
    return mesh;
}
