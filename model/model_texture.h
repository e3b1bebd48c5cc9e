// The texture a model is drawn with.
#pragma once

#include <memory>
#include <string>

#include "model/model.h"
#include "surfaces/texture.h"

// The picture named by `chosen_path` when it is not empty, else the model's own (its file or
// its embedded bytes). Null when there is none; null with one warning line in *warning
// (naming the file) when the picture is missing or cannot be decoded.
std::unique_ptr<texture_t> load_model_texture(const model_t& model, const std::string& chosen_path,
                                              std::string* warning);
