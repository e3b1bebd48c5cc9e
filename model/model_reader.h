// The two file readers behind load_model: OBJ through tinyobjloader, glTF through tinygltf.
#pragma once

#include <string>

#include "model/model.h"

// Each fills *model with the file's vertices and triangles as the file gives them (no
// centring, no computed normals) and returns true, or returns false with what is wrong in
// *why (one line, without the file name). Counts beyond the limits are refused before the
// model's arrays are allocated. The file is known to exist and to be within the size limit.
bool read_obj(const std::string& path, const model_limits_t& limits, model_t* model, std::string* why);
// .gltf (JSON with its buffers beside it or inside as data URIs) and .glb (binary).
bool read_gltf(const std::string& path, bool binary, const model_limits_t& limits, model_t* model, std::string* why);
