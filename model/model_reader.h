// The two file readers behind load_model: OBJ through tinyobjloader, glTF through tinygltf.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/model.h"

// The model file as load_model has opened and checked it, and where the files it names are.
struct model_source_t {
    std::string path;  // as the user gave it, for messages
    const char* bytes = nullptr;
    size_t size = 0;
    std::string folder;            // the model file's folder, "" for the working folder
    std::string confining_folder;  // when not empty, named files must lie inside it
};

// What a reader found wrong: one line without the file name, and the line of the file it is
// on when it is on one.
struct model_problem_t {
    std::string what;
    uint64_t line = 0;  // 1-based; 0: not on a particular line
};

// Each fills *model with the file's vertices and triangles as the file gives them (no
// centring, no computed normals) and returns true, or returns false with the problem.
// Counts beyond the limits are refused before the model's arrays are allocated. A named file
// that cannot be read leaves a warning in model->warnings unless the model needs it.
bool read_obj(const model_source_t& source, const model_limits_t& limits, model_t* model, model_problem_t* problem);
// .gltf (JSON with its buffers beside it or inside as data URIs) and .glb (binary).
bool read_gltf(const model_source_t& source, bool binary, const model_limits_t& limits, model_t* model,
               model_problem_t* problem);
