// Loading a model's texture from --texture, the model's material, or the picture inside a glTF file.
#include "model/model_texture.h"

#include "model/texture_files.h"

std::unique_ptr<texture_t> load_model_texture(const model_t& model, const std::string& chosen_path,
                                              std::string* warning) {
    auto texture = std::make_unique<texture_t>(1, 1, 32);
    std::string why;
    const std::string& path = chosen_path.empty() ? model.texture_path : chosen_path;
    if (!path.empty()) {
        if (load_texture_picture(*texture, path.c_str(), &why)) return texture;
        *warning = "warning: texture " + path + ": " + why + "; drawing without it";
        return nullptr;
    }
    if (!model.texture_bytes.empty()) {
        if (decode_texture_picture(*texture, model.texture_bytes.data(), model.texture_bytes.size(), &why))
            return texture;
        *warning = "warning: the model's embedded texture: " + why + "; drawing without it";
        return nullptr;
    }
    return nullptr;
}
