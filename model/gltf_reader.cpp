// glTF 2.0 files (.gltf with its buffers, or .glb) read by tinygltf into a model_t: every triangle primitive of
// every mesh the scene places, with its node transforms, material colour and the first base-colour texture.
#include <tiny_gltf.h>

#include <cctype>
#include <filesystem>
#include <string_view>
#include <vector>

#include "model/gltf_files.h"
#include "model/gltf_json_checks.h"
#include "model/gltf_primitives.h"
#include "model/gltf_scene.h"
#include "model/model_reader.h"

namespace {

// Picture bytes stored in the file (data URIs, buffer views of a .glb) are kept encoded; the
// texture decodes them.
bool keep_encoded_picture(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                          const unsigned char* bytes, int size, void*) {
    if (size < 0 || (size > 0 && bytes == nullptr)) return false;
    image->image.assign(bytes, bytes + size);
    return true;
}

// The file parsed by tinygltf after the checks it needs ahead of it; buffers and pictures
// named by relative URIs are looked up beside the file.
bool parse_gltf(const model_source_t& source, bool binary, const model_limits_t& limits, tinygltf::Model* gltf,
                std::string* why) {
    if (source.size == 0) {
        *why = "empty file";
        return false;
    }
    const std::string_view json = gltf_json_text(source.bytes, source.size, binary);
    // A .glb file without a JSON chunk is left for tinygltf to describe.
    if (!binary || !json.empty()) {
        if (!gltf_json_well_formed(json, binary, limits.max_json_depth, why)) return false;
        if (!gltf_picture_views_within_buffers(json, why)) return false;
    }
    tinygltf::TinyGLTF loader;
    gltf_file_access_t files{limits.max_file_bytes, source.confining_folder, {}};
    loader.SetFsCallbacks(gltf_file_callbacks(&files));
    loader.SetImageLoader(&keep_encoded_picture, nullptr);
    std::string error;
    std::string warning;
    bool loaded = false;
    try {
        const auto length = static_cast<unsigned int>(source.size);
        loaded = binary ? loader.LoadBinaryFromMemory(gltf, &error, &warning,
                                                      reinterpret_cast<const unsigned char*>(source.bytes), length,
                                                      source.folder)
                        : loader.LoadASCIIFromString(gltf, &error, &warning, source.bytes, length, source.folder);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!loaded) *why = gltf_error_sentence(error, files);
    return loaded;
}

// "%20" and the like in a relative URI.
std::string percent_decoded(const std::string& uri) {
    std::string out;
    for (size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
            out += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += uri[i];
        }
    }
    return out;
}

// The base-colour texture of the first material that has one: a file beside the model, or
// the encoded bytes kept by keep_encoded_picture.
void take_texture(const tinygltf::Model& gltf, const std::string& folder, model_t* model) {
    for (const tinygltf::Material& material : gltf.materials) {
        const int texture = material.pbrMetallicRoughness.baseColorTexture.index;
        if (texture < 0 || static_cast<size_t>(texture) >= gltf.textures.size()) continue;
        const int source = gltf.textures[static_cast<size_t>(texture)].source;
        if (source < 0 || static_cast<size_t>(source) >= gltf.images.size()) continue;
        const tinygltf::Image& image = gltf.images[static_cast<size_t>(source)];
        if (!image.image.empty()) {
            model->texture_bytes.assign(image.image.begin(), image.image.end());
        } else if (!image.uri.empty()) {
            model->texture_path = (std::filesystem::path(folder) / percent_decoded(image.uri)).string();
        }
        return;
    }
}

}  // namespace

bool read_gltf(const model_source_t& source, bool binary, const model_limits_t& limits, model_t* model,
               model_problem_t* problem) {
    std::string& why = problem->what;
    tinygltf::Model gltf;
    if (!parse_gltf(source, binary, limits, &gltf, &why)) return false;
    std::vector<placed_mesh_t> placed;
    if (!place_meshes(gltf, &placed, &why)) return false;

    gltf_counts_t counts;
    if (!count_triangle_primitives(gltf, placed, limits, &counts, &why)) return false;

    // Every primitive checked before any is emitted: the emitting cannot fail.
    std::vector<std::pair<const transform_t*, gltf_primitive_t>> primitives;
    for (const placed_mesh_t& p : placed) {
        for (const tinygltf::Primitive& primitive : gltf.meshes[static_cast<size_t>(p.mesh)].primitives) {
            if (!draws_triangles(primitive.mode)) continue;
            gltf_primitive_t checked;
            if (!check_triangle_primitive(gltf, primitive, &checked, &why)) return false;
            primitives.emplace_back(&p.transform, checked);
        }
    }

    model->positions.reserve(static_cast<size_t>(counts.vertices));
    model->normals.reserve(static_cast<size_t>(counts.vertices));
    model->texcoords.reserve(static_cast<size_t>(counts.vertices));
    model->colours.reserve(static_cast<size_t>(counts.vertices));
    model->indices.reserve(static_cast<size_t>(counts.triangles) * 3);
    model->has_normals = true;
    for (const auto& [transform, primitive] : primitives) {
        emit_triangle_primitive(primitive, *transform, model);
        model->has_normals = model->has_normals && primitive.has_normals;
        model->has_texcoords = model->has_texcoords || primitive.has_texcoords;
    }
    take_texture(gltf, source.folder, model);
    return true;
}
