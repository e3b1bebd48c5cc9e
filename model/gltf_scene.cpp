// Placing a glTF scene's meshes: each node's local transform (matrix, or scale, rotation and translation) composed.
#include "model/gltf_scene.h"

#include <algorithm>

namespace {

transform_t compose(const transform_t& a, const transform_t& b) {
    transform_t r{};
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[static_cast<size_t>(k * 4 + row)] * b[static_cast<size_t>(c * 4 + k)];
            r[static_cast<size_t>(c * 4 + row)] = sum;
        }
    }
    return r;
}

transform_t local_transform(const tinygltf::Node& node) {
    if (node.matrix.size() == 16) {
        transform_t m{};
        std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
        return m;
    }
    transform_t m = identity_transform;
    if (node.scale.size() == 3) {
        transform_t s = identity_transform;
        s[0] = node.scale[0];
        s[5] = node.scale[1];
        s[10] = node.scale[2];
        m = s;
    }
    if (node.rotation.size() == 4) {
        const double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2], w = node.rotation[3];
        const transform_t r{1 - 2 * (y * y + z * z),
                            2 * (x * y + z * w),
                            2 * (x * z - y * w),
                            0,
                            2 * (x * y - z * w),
                            1 - 2 * (x * x + z * z),
                            2 * (y * z + x * w),
                            0,
                            2 * (x * z + y * w),
                            2 * (y * z - x * w),
                            1 - 2 * (x * x + y * y),
                            0,
                            0,
                            0,
                            0,
                            1};
        m = compose(r, m);
    }
    if (node.translation.size() == 3) {
        transform_t t = identity_transform;
        t[12] = node.translation[0];
        t[13] = node.translation[1];
        t[14] = node.translation[2];
        m = compose(t, m);
    }
    return m;
}

}  // namespace

bool place_meshes(const tinygltf::Model& gltf, std::vector<placed_mesh_t>* placed, std::string* why) {
    if (gltf.scenes.empty()) {
        for (size_t m = 0; m < gltf.meshes.size(); ++m) placed->push_back({static_cast<int>(m), identity_transform});
        return true;
    }
    const size_t scene =
        gltf.defaultScene >= 0 && static_cast<size_t>(gltf.defaultScene) < gltf.scenes.size() ? gltf.defaultScene : 0;
    std::vector<bool> seen(gltf.nodes.size(), false);
    std::vector<std::pair<int, transform_t>> pending;
    for (const int root : gltf.scenes[scene].nodes) pending.emplace_back(root, identity_transform);
    while (!pending.empty()) {
        const auto [index, parent] = pending.back();
        pending.pop_back();
        if (index < 0 || static_cast<size_t>(index) >= gltf.nodes.size()) {
            *why = "a scene refers to a node that does not exist";
            return false;
        }
        if (seen[static_cast<size_t>(index)]) {
            *why = "node " + std::to_string(index) + " appears twice in the scene's hierarchy";
            return false;
        }
        seen[static_cast<size_t>(index)] = true;
        const tinygltf::Node& node = gltf.nodes[static_cast<size_t>(index)];
        const transform_t world = compose(parent, local_transform(node));
        if (node.mesh >= 0) {
            if (static_cast<size_t>(node.mesh) >= gltf.meshes.size()) {
                *why = "a node refers to a mesh that does not exist";
                return false;
            }
            placed->push_back({node.mesh, world});
        }
        for (const int child : node.children) pending.emplace_back(child, world);
    }
    return true;
}
