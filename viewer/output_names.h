// Picture file names: templates with the frame number and the model's name, and numbered names that are never reused.
#pragma once

#include <cstdint>
#include <string>

// Whether the name holds a frame placeholder, {frame} or {frame:0N}.
bool names_frames(const std::string& name);

// The name with {frame} replaced by the frame number, {frame:0N} by the number padded with
// zeros to N digits (N from 1 to 20), and {model} by the model's name; anything else in
// braces is kept as written.
std::string expand_name(const std::string& name_template, uint64_t frame, const std::string& model);

// The model's name as pictures are named after it: the file name without its folders and
// its last extension ("models/torus.obj" gives "torus").
std::string model_name_of(const std::string& path);

// The first of stem-0001.ext, stem-0002.ext, ... (stem and ext from `name`, "softcube.png"
// when empty) that does not exist, created empty there and then so that nobody else takes
// it; empty when none can be created (after 9999 tries, or the folder cannot be written).
std::string claim_numbered_name(const std::string& name);
