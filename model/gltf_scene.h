// Where a glTF scene places its meshes: node transforms composed down the hierarchy.
#pragma once

#include <tiny_gltf.h>

#include <array>
#include <string>
#include <vector>

// Column-major 4 x 4, as glTF stores node matrices.
using transform_t = std::array<double, 16>;
constexpr transform_t identity_transform{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A mesh as the scene places it.
struct placed_mesh_t {
    int mesh = 0;
    transform_t transform = identity_transform;
};

// The meshes of the default scene (or the first), each with its node's world transform; every
// mesh untransformed when the file has no scene. A node reached twice (a cycle or a shared
// child) is refused: the hierarchy must be a tree.
bool place_meshes(const tinygltf::Model& gltf, std::vector<placed_mesh_t>* placed, std::string* why);
