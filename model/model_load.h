// load_model: a model file read, checked and brought to the demo's size, ready to become a mesh.
#pragma once

#include <string>

#include "model/model.h"

// Reads a Wavefront OBJ (".obj", with its ".mtl") or glTF 2.0 (".gltf" or ".glb") file, chosen
// by the name's ending in any case; checks every value; centres and scales it to a largest
// half-extent of 1; computes area-weighted normals when the file lacks any. On failure
// returns false with one line in *error that names the file and what is wrong.
bool load_model(const std::string& path, model_t* model, std::string* error, const model_limits_t& limits = {});
