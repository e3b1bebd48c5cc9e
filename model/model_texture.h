// The texture a model is drawn with.
#pragma once

#include <memory>
#include <string>

#include "model/model.h"
#include "surfaces/texture.h"

// The picture named by `chosen_path` when it is not empty, else the model's own (its file, which
// must lie in model.reference_folder when that is set, or its embedded bytes). A file is read
// as a regular file (a FIFO or device is refused without waiting on it) of at most
// rt::picture_max_file_bytes. Null when there is none; null with one warning line in *warning
// (naming the file, and nothing else about it) when the picture cannot be read or decoded.
std::unique_ptr<texture_t> load_model_texture(const model_t& model, const std::string& chosen_path,
                                              std::string* warning);
