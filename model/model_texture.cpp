// Loading a model's texture from --texture, the model's material, or the picture inside a glTF file.
#include "model/model_texture.h"

#include <vector>

#include "model/one_line.h"
#include "model/texture_files.h"
#include "runtime/picture.h"
#include "runtime/regular_file.h"

std::unique_ptr<texture_t> load_model_texture(const model_t& model, const std::string& chosen_path,
                                              std::string* warning) {
    auto texture = std::make_unique<texture_t>(1, 1, 32);
    std::string why;
    const bool chosen = !chosen_path.empty();
    const std::string& path = chosen ? chosen_path : model.texture_path;
    if (!path.empty()) {
        // The model's own picture may have to stay in the model's folder; the one the user chose
        // may be anywhere.
        std::vector<uint8_t> bytes;
        if (rt::read_regular_file(path, rt::picture_max_file_bytes, &bytes, &why,
                                  chosen ? std::string() : model.reference_folder) &&
            decode_texture_picture(*texture, bytes.data(), bytes.size(), &why)) {
            return texture;
        }
        *warning = one_line("warning: texture " + path + ": " + why + "; drawing without it");
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
