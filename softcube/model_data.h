// What a softcube::model holds: the model as read, its texture, and whether it is drawn textured.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/model.h"
#include "surfaces/texture.h"

namespace softcube::detail {

struct model_data {
    model_t model;                             // centred and scaled, with normals
    std::shared_ptr<const texture_t> texture;  // null: none
    bool textured = false;                     // a texture and texture coordinates
    std::string name = "mesh";                 // the file's name, without its folders
    std::vector<std::string> warnings;         // what loading left out
};

}  // namespace softcube::detail
