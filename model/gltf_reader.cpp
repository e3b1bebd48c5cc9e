// glTF 2.0 files (.gltf with its buffers, or .glb) read by tinygltf into a model_t: every triangle primitive of
// every mesh the scene places, with its node transforms, material colour and the first base-colour texture.
#include <tiny_gltf.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>
#include <vector>

#include "model/model_reader.h"

namespace {

constexpr vec4_t default_colour{0.8f, 0.8f, 0.8f, 1.0f};

// Column-major 4 x 4, as glTF stores node matrices.
using transform_t = std::array<double, 16>;
constexpr transform_t identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

transform_t compose(const transform_t& a, const transform_t& b) {
    transform_t r{};
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[static_cast<size_t>(k * 4 + row)] * b[static_cast<size_t>(c * 4 + k)];
            r[static_cast<size_t>(c * 4 + row)] = sum;
        }
    }
    return r;
}

transform_t local_transform(const tinygltf::Node& node) {
    if (node.matrix.size() == 16) {
        transform_t m{};
        std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
        return m;
    }
    transform_t m = identity;
    if (node.scale.size() == 3) {
        transform_t s = identity;
        s[0] = node.scale[0];
        s[5] = node.scale[1];
        s[10] = node.scale[2];
        m = s;
    }
    if (node.rotation.size() == 4) {
        const double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2], w = node.rotation[3];
        const transform_t r{1 - 2 * (y * y + z * z),
                            2 * (x * y + z * w),
                            2 * (x * z - y * w),
                            0,
                            2 * (x * y - z * w),
                            1 - 2 * (x * x + z * z),
                            2 * (y * z + x * w),
                            0,
                            2 * (x * z + y * w),
                            2 * (y * z - x * w),
                            1 - 2 * (x * x + y * y),
                            0,
                            0,
                            0,
                            0,
                            1};
        m = compose(r, m);
    }
    if (node.translation.size() == 3) {
        transform_t t = identity;
        t[12] = node.translation[0];
        t[13] = node.translation[1];
        t[14] = node.translation[2];
        m = compose(t, m);
    }
    return m;
}

// A mesh as the scene places it.
struct placed_mesh_t {
    int mesh = 0;
    transform_t transform = identity;
};

// The meshes of the default scene (or the first), each with its node's world transform; every
// mesh untransformed when the file has no scene. A node reached twice (a cycle or a shared
// child) is refused: the hierarchy must be a tree.
bool place_meshes(const tinygltf::Model& gltf, std::vector<placed_mesh_t>* placed, std::string* why) {
    if (gltf.scenes.empty()) {
        for (size_t m = 0; m < gltf.meshes.size(); ++m) placed->push_back({static_cast<int>(m), identity});
        return true;
    }
    const size_t scene =
        gltf.defaultScene >= 0 && static_cast<size_t>(gltf.defaultScene) < gltf.scenes.size() ? gltf.defaultScene : 0;
    std::vector<bool> seen(gltf.nodes.size(), false);
    std::vector<std::pair<int, transform_t>> pending;
    for (const int root : gltf.scenes[scene].nodes) pending.emplace_back(root, identity);
    while (!pending.empty()) {
        const auto [index, parent] = pending.back();
        pending.pop_back();
        if (index < 0 || static_cast<size_t>(index) >= gltf.nodes.size()) {
            *why = "a scene refers to a node that does not exist";
            return false;
        }
        if (seen[static_cast<size_t>(index)]) {
            *why = "node " + std::to_string(index) + " appears twice in the scene's hierarchy";
            return false;
        }
        seen[static_cast<size_t>(index)] = true;
        const tinygltf::Node& node = gltf.nodes[static_cast<size_t>(index)];
        const transform_t world = compose(parent, local_transform(node));
        if (node.mesh >= 0) {
            if (static_cast<size_t>(node.mesh) >= gltf.meshes.size()) {
                *why = "a node refers to a mesh that does not exist";
                return false;
            }
            placed->push_back({node.mesh, world});
        }
        for (const int child : node.children) pending.emplace_back(child, world);
    }
    return true;
}

// Where an accessor's elements lie, checked against its buffer view and buffer.
struct accessor_view_t {
    const uint8_t* first = nullptr;
    size_t stride = 0;
    size_t count = 0;
    int component_type = 0;
    bool normalized = false;
};

size_t component_size(int type) {
    switch (type) {
        case TINYGLTF_COMPONENT_TYPE_BYTE:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return 1;
        case TINYGLTF_COMPONENT_TYPE_SHORT:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
            return 2;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
        case TINYGLTF_COMPONENT_TYPE_FLOAT:
            return 4;
        default:
            return 0;
    }
}

// The accessor's elements of the given type (TINYGLTF_TYPE_*), every one within its buffer.
bool view_accessor(const tinygltf::Model& gltf, int index, int type, const char* what, accessor_view_t* view,
                   std::string* why) {
    const auto refuse = [&](const std::string& problem) {
        *why = std::string("the ") + what + " accessor " + problem;
        return false;
    };
    if (index < 0 || static_cast<size_t>(index) >= gltf.accessors.size()) return refuse("does not exist");
    const tinygltf::Accessor& accessor = gltf.accessors[static_cast<size_t>(index)];
    if (accessor.sparse.isSparse) return refuse("is sparse, which is not supported");
    if (accessor.type != type) return refuse("has the wrong element type");
    const size_t size = component_size(accessor.componentType);
    if (size == 0) return refuse("has an unknown component type");
    if (accessor.bufferView < 0 || static_cast<size_t>(accessor.bufferView) >= gltf.bufferViews.size()) {
        return refuse("has no buffer view");
    }
    const tinygltf::BufferView& buffer_view = gltf.bufferViews[static_cast<size_t>(accessor.bufferView)];
    if (buffer_view.buffer < 0 || static_cast<size_t>(buffer_view.buffer) >= gltf.buffers.size()) {
        return refuse("refers to a buffer that does not exist");
    }
    const std::vector<unsigned char>& data = gltf.buffers[static_cast<size_t>(buffer_view.buffer)].data;
    const size_t element = size * static_cast<size_t>(tinygltf::GetNumComponentsInType(static_cast<uint32_t>(type)));
    const size_t stride = buffer_view.byteStride != 0 ? buffer_view.byteStride : element;
    // Every quantity is bounded first, so the sums and the product below cannot overflow.
    constexpr size_t bound = size_t{1} << 40;
    if (accessor.count > bound || stride > bound || buffer_view.byteOffset > bound || buffer_view.byteLength > bound ||
        accessor.byteOffset > bound || stride < element) {
        return refuse("lies outside its buffer");
    }
    if (buffer_view.byteOffset + buffer_view.byteLength > data.size()) return refuse("lies outside its buffer");
    if (accessor.count != 0 && accessor.byteOffset + (accessor.count - 1) * stride + element > buffer_view.byteLength) {
        return refuse("lies outside its buffer view");
    }
    view->first = data.data() + buffer_view.byteOffset + accessor.byteOffset;
    view->stride = stride;
    view->count = accessor.count;
    view->component_type = accessor.componentType;
    view->normalized = accessor.normalized;
    return true;
}

// Component c of element i as a float (normalised integers scaled to 0 .. 1 or -1 .. 1).
float component(const accessor_view_t& view, size_t i, size_t c) {
    const uint8_t* at = view.first + i * view.stride + c * component_size(view.component_type);
    switch (view.component_type) {
        case TINYGLTF_COMPONENT_TYPE_FLOAT: {
            float f = 0.0f;
            std::memcpy(&f, at, 4);
            return f;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return view.normalized ? static_cast<float>(at[0]) / 255.0f : static_cast<float>(at[0]);
        case TINYGLTF_COMPONENT_TYPE_BYTE: {
            const auto v = static_cast<float>(static_cast<int8_t>(at[0]));
            return view.normalized ? std::max(v / 127.0f, -1.0f) : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            uint16_t v = 0;
            std::memcpy(&v, at, 2);
            return view.normalized ? static_cast<float>(v) / 65535.0f : static_cast<float>(v);
        }
        case TINYGLTF_COMPONENT_TYPE_SHORT: {
            int16_t v = 0;
            std::memcpy(&v, at, 2);
            return view.normalized ? std::max(static_cast<float>(v) / 32767.0f, -1.0f) : static_cast<float>(v);
        }
        default:
            return 0.0f;
    }
}

uint32_t index_at(const accessor_view_t& view, size_t i) {
    const uint8_t* at = view.first + i * view.stride;
    switch (view.component_type) {
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return at[0];
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            uint16_t v = 0;
            std::memcpy(&v, at, 2);
            return v;
        }
        default: {
            uint32_t v = 0;
            std::memcpy(&v, at, 4);
            return v;
        }
    }
}

bool draws_triangles(int mode) {
    return mode == TINYGLTF_MODE_TRIANGLES || mode == TINYGLTF_MODE_TRIANGLE_STRIP ||
           mode == TINYGLTF_MODE_TRIANGLE_FAN;
}

uint64_t triangles_of(int mode, uint64_t corners) {
    if (mode == TINYGLTF_MODE_TRIANGLES) return corners / 3;
    return corners >= 3 ? corners - 2 : 0;
}

// Corner k of triangle t of a list, strip or fan, in the order that keeps the front face's winding.
size_t corner_of(int mode, uint64_t t, int k) {
    if (mode == TINYGLTF_MODE_TRIANGLES) return static_cast<size_t>(t * 3 + static_cast<uint64_t>(k));
    if (mode == TINYGLTF_MODE_TRIANGLE_FAN) return k == 0 ? 0 : static_cast<size_t>(t + static_cast<uint64_t>(k));
    // Strips swap the first two corners of every odd triangle.
    if (t % 2 == 1 && k < 2) return static_cast<size_t>(t + 1 - static_cast<uint64_t>(k));
    return static_cast<size_t>(t + static_cast<uint64_t>(k));
}

// Picture bytes stored in the file (data URIs, buffer views of a .glb) are kept encoded; the
// texture decodes them.
bool keep_encoded_picture(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                          const unsigned char* bytes, int size, void*) {
    if (size < 0 || (size > 0 && bytes == nullptr)) return false;
    image->image.assign(bytes, bytes + size);
    return true;
}

// The JSON text of a .gltf file, or of a .glb file's first chunk; empty when the file is not
// laid out as one (tinygltf then says what is wrong).
std::string_view json_text(const std::vector<unsigned char>& file, bool binary) {
    const auto* chars = reinterpret_cast<const char*>(file.data());
    if (!binary) return {chars, file.size()};
    // Header: magic, version, length; then the first chunk's length and type.
    const auto word = [&](size_t at) {
        uint32_t value = 0;
        std::memcpy(&value, file.data() + at, 4);
        return value;
    };
    if (file.size() < 20 || word(16) != 0x4E4F534Au /* "JSON" */ || word(12) > file.size() - 20) return {};
    return {chars + 20, word(12)};
}

// tinygltf hands a picture stored in a buffer view to the picture callback as the address of
// the view's first byte in its buffer before checking the view against the buffer, which is
// undefined behaviour for a view starting past the buffer's end. Those views are therefore
// checked in the JSON first, against the byte length each buffer declares (tinygltf refuses
// a buffer whose bytes are not that many). Whatever is missing or mistyped here is left for
// tinygltf to refuse.
bool picture_views_within_buffers(std::string_view json_text, std::string* why) {
    const nlohmann::json root = nlohmann::json::parse(json_text.begin(), json_text.end(), nullptr, false);
    if (!root.is_object()) return true;
    const auto array = [&](const char* name) {
        const auto found = root.find(name);
        return found != root.end() && found->is_array() ? &*found : nullptr;
    };
    const nlohmann::json* images = array("images");
    const nlohmann::json* views = array("bufferViews");
    const nlohmann::json* buffers = array("buffers");
    if (images == nullptr || views == nullptr || buffers == nullptr) return true;
    // An element's number field, or `fallback` when it has none; NaN when it is not a number.
    const auto number = [](const nlohmann::json& object, const char* name, double fallback) {
        const auto found = object.find(name);
        if (found == object.end()) return fallback;
        return found->is_number() ? found->get<double>() : std::nan("");
    };
    const auto element = [](const nlohmann::json& list, double index) -> const nlohmann::json* {
        if (!(index >= 0.0 && index < static_cast<double>(list.size())) || index != std::floor(index)) return nullptr;
        const nlohmann::json& e = list[static_cast<size_t>(index)];
        return e.is_object() ? &e : nullptr;
    };
    for (const nlohmann::json& image : *images) {
        if (!image.is_object()) continue;
        const nlohmann::json* view = element(*views, number(image, "bufferView", -1.0));
        if (view == nullptr) continue;
        const nlohmann::json* buffer = element(*buffers, number(*view, "buffer", -1.0));
        if (buffer == nullptr) continue;
        const double offset = number(*view, "byteOffset", 0.0);
        const double length = number(*view, "byteLength", 0.0);
        const double size = number(*buffer, "byteLength", 0.0);
        // Every byte count in a file within the size limit is far below 2^53, so doubles are exact.
        // A view must start inside its buffer even when it is empty: its first byte is taken.
        if (!(offset >= 0.0 && length >= 0.0 && offset < size && length <= size - offset)) {
            *why = "an image's buffer view lies outside its buffer";
            return false;
        }
    }
    return true;
}

// Buffers and pictures beside the file are read only up to the model size limit.
struct file_reading_t {
    uint64_t max_bytes = 0;
};

bool regular_file_exists(const std::string& path, void*) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string path_as_is(const std::string& path, void*) { return path; }

bool read_limited_file(std::vector<unsigned char>* out, std::string* err, const std::string& path, void* user_data) {
    const auto* reading = static_cast<const file_reading_t*>(user_data);
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        if (err) *err += "cannot open " + path + "\n";
        return false;
    }
    if (static_cast<uint64_t>(info.st_size) > reading->max_bytes) {
        if (err) *err += path + " is larger than the model size limit\n";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    out->resize(static_cast<size_t>(info.st_size));
    if (!in || (info.st_size > 0 && !in.read(reinterpret_cast<char*>(out->data()), info.st_size))) {
        if (err) *err += "cannot read " + path + "\n";
        return false;
    }
    return true;
}

bool refuse_writing(std::string* err, const std::string&, const std::vector<unsigned char>&, void*) {
    if (err) *err += "writing is not supported\n";
    return false;
}

std::string first_line(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '.' || line.back() == ' ' || line.back() == '\r')) line.pop_back();
    return line;
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
void take_texture(const tinygltf::Model& gltf, const std::filesystem::path& folder, model_t* model) {
    for (const tinygltf::Material& material : gltf.materials) {
        const int texture = material.pbrMetallicRoughness.baseColorTexture.index;
        if (texture < 0 || static_cast<size_t>(texture) >= gltf.textures.size()) continue;
        const int source = gltf.textures[static_cast<size_t>(texture)].source;
        if (source < 0 || static_cast<size_t>(source) >= gltf.images.size()) continue;
        const tinygltf::Image& image = gltf.images[static_cast<size_t>(source)];
        if (!image.image.empty()) {
            model->texture_bytes.assign(image.image.begin(), image.image.end());
        } else if (!image.uri.empty()) {
            model->texture_path = (folder / percent_decoded(image.uri)).string();
        }
        return;
    }
}

}  // namespace

bool read_gltf(const std::string& path, bool binary, const model_limits_t& limits, model_t* model, std::string* why) {
    tinygltf::Model gltf;
    tinygltf::TinyGLTF loader;
    file_reading_t reading{limits.max_file_bytes};
    loader.SetFsCallbacks({&regular_file_exists, &path_as_is, &read_limited_file, &refuse_writing, &reading});
    loader.SetImageLoader(&keep_encoded_picture, nullptr);
    std::vector<unsigned char> file;
    std::string error;
    if (!read_limited_file(&file, &error, path, &reading) || file.empty()) {
        *why = file.empty() && error.empty() ? "empty file" : "cannot be read";
        return false;
    }
    if (!picture_views_within_buffers(json_text(file, binary), why)) return false;
    // Buffers and pictures named by relative URIs are looked up beside the file.
    const size_t slash = path.find_last_of('/');
    const std::string folder_of_file = slash == std::string::npos ? "" : path.substr(0, slash);
    std::string warning;
    bool loaded = false;
    try {
        const auto length = static_cast<unsigned int>(file.size());
        loaded = binary
                     ? loader.LoadBinaryFromMemory(&gltf, &error, &warning, file.data(), length, folder_of_file)
                     : loader.LoadASCIIFromString(&gltf, &error, &warning, reinterpret_cast<const char*>(file.data()),
                                                  length, folder_of_file);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!loaded) {
        *why = error.empty() ? "cannot be read as glTF" : first_line(error);
        return false;
    }

    std::vector<placed_mesh_t> placed;
    if (!place_meshes(gltf, &placed, why)) return false;

    // Counts first, against the limits, before any array of the model grows.
    uint64_t vertices = 0;
    uint64_t triangles = 0;
    for (const placed_mesh_t& p : placed) {
        for (const tinygltf::Primitive& primitive : gltf.meshes[static_cast<size_t>(p.mesh)].primitives) {
            if (!draws_triangles(primitive.mode)) continue;
            const auto position = primitive.attributes.find("POSITION");
            if (position == primitive.attributes.end()) {
                *why = "a triangle primitive has no POSITION attribute";
                return false;
            }
            accessor_view_t positions;
            if (!view_accessor(gltf, position->second, TINYGLTF_TYPE_VEC3, "POSITION", &positions, why)) return false;
            if (positions.component_type != TINYGLTF_COMPONENT_TYPE_FLOAT) {
                *why = "POSITION is not made of floats";
                return false;
            }
            uint64_t corners = positions.count;
            if (primitive.indices >= 0) {
                if (primitive.indices >= static_cast<int>(gltf.accessors.size())) {
                    *why = "the indices accessor does not exist";
                    return false;
                }
                corners = gltf.accessors[static_cast<size_t>(primitive.indices)].count;
            }
            vertices += positions.count;
            triangles += triangles_of(primitive.mode, corners);
            if (vertices > limits.max_vertices || triangles > limits.max_triangles) {
                *why = "too large: more than " + std::to_string(limits.max_vertices) + " vertices or " +
                       std::to_string(limits.max_triangles) + " triangles";
                return false;
            }
        }
    }
    if (triangles == 0) {
        *why = "no triangles";
        return false;
    }
    model->positions.reserve(static_cast<size_t>(vertices));
    model->normals.reserve(static_cast<size_t>(vertices));
    model->texcoords.reserve(static_cast<size_t>(vertices));
    model->colours.reserve(static_cast<size_t>(vertices));
    model->indices.reserve(static_cast<size_t>(triangles) * 3);

    bool every_vertex_has_normal = true;
    for (const placed_mesh_t& p : placed) {
        const transform_t& m = p.transform;
        // Normals turn with the inverse transpose of the linear part: its cofactors, with the
        // determinant's sign so that a mirroring transform keeps them pointing outwards.
        const std::array<double, 9> cof{
            m[5] * m[10] - m[6] * m[9], m[6] * m[8] - m[4] * m[10], m[4] * m[9] - m[5] * m[8],
            m[2] * m[9] - m[1] * m[10], m[0] * m[10] - m[2] * m[8], m[1] * m[8] - m[0] * m[9],
            m[1] * m[6] - m[2] * m[5],  m[2] * m[4] - m[0] * m[6],  m[0] * m[5] - m[1] * m[4]};
        const double determinant = m[0] * cof[0] + m[1] * cof[1] + m[2] * cof[2];
        const double sign = determinant < 0.0 ? -1.0 : 1.0;
        for (const tinygltf::Primitive& primitive : gltf.meshes[static_cast<size_t>(p.mesh)].primitives) {
            if (!draws_triangles(primitive.mode)) continue;
            accessor_view_t positions, normals, texcoords, indices;
            view_accessor(gltf, primitive.attributes.at("POSITION"), TINYGLTF_TYPE_VEC3, "POSITION", &positions, why);
            const auto normal = primitive.attributes.find("NORMAL");
            const bool has_normals = normal != primitive.attributes.end();
            if (has_normals) {
                if (!view_accessor(gltf, normal->second, TINYGLTF_TYPE_VEC3, "NORMAL", &normals, why)) return false;
                if (normals.count != positions.count || normals.component_type != TINYGLTF_COMPONENT_TYPE_FLOAT) {
                    *why = "NORMAL does not match POSITION";
                    return false;
                }
            }
            every_vertex_has_normal = every_vertex_has_normal && has_normals;
            const auto texcoord = primitive.attributes.find("TEXCOORD_0");
            const bool has_texcoords = texcoord != primitive.attributes.end();
            if (has_texcoords) {
                if (!view_accessor(gltf, texcoord->second, TINYGLTF_TYPE_VEC2, "TEXCOORD_0", &texcoords, why)) {
                    return false;
                }
                if (texcoords.count != positions.count) {
                    *why = "TEXCOORD_0 does not match POSITION";
                    return false;
                }
                model->has_texcoords = true;
            }
            vec4_t colour = default_colour;
            if (primitive.material >= 0 && static_cast<size_t>(primitive.material) < gltf.materials.size()) {
                const std::vector<double>& f =
                    gltf.materials[static_cast<size_t>(primitive.material)].pbrMetallicRoughness.baseColorFactor;
                if (f.size() == 4) {
                    colour = vec4_t(static_cast<float>(f[0]), static_cast<float>(f[1]), static_cast<float>(f[2]),
                                    static_cast<float>(f[3]));
                }
            }

            const auto base = static_cast<uint32_t>(model->positions.size());
            for (size_t i = 0; i < positions.count; ++i) {
                const double x = component(positions, i, 0), y = component(positions, i, 1),
                             z = component(positions, i, 2);
                model->positions.emplace_back(static_cast<float>(m[0] * x + m[4] * y + m[8] * z + m[12]),
                                              static_cast<float>(m[1] * x + m[5] * y + m[9] * z + m[13]),
                                              static_cast<float>(m[2] * x + m[6] * y + m[10] * z + m[14]), 1.0f);
                if (has_normals) {
                    const double nx = component(normals, i, 0), ny = component(normals, i, 1),
                                 nz = component(normals, i, 2);
                    model->normals.emplace_back(static_cast<float>(sign * (cof[0] * nx + cof[3] * ny + cof[6] * nz)),
                                                static_cast<float>(sign * (cof[1] * nx + cof[4] * ny + cof[7] * nz)),
                                                static_cast<float>(sign * (cof[2] * nx + cof[5] * ny + cof[8] * nz)),
                                                0.0f);
                } else {
                    model->normals.emplace_back(0.0f, 0.0f, 0.0f, 0.0f);
                }
                // glTF puts v = 0 at the picture's top row, as the texture does.
                model->texcoords.push_back(has_texcoords
                                               ? vec4_t(component(texcoords, i, 0), component(texcoords, i, 1), 0, 0)
                                               : vec4_t(0.0f, 0.0f, 0.0f, 0.0f));
                model->colours.push_back(colour);
            }

            size_t corners = positions.count;
            if (primitive.indices >= 0) {
                if (!view_accessor(gltf, primitive.indices, TINYGLTF_TYPE_SCALAR, "indices", &indices, why)) {
                    return false;
                }
                if (indices.component_type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
                    indices.component_type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
                    indices.component_type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
                    *why = "the indices are not unsigned integers";
                    return false;
                }
                corners = indices.count;
            }
            const uint64_t count = triangles_of(primitive.mode, corners);
            for (uint64_t t = 0; t < count; ++t) {
                uint32_t corner[3];
                for (int k = 0; k < 3; ++k) {
                    const size_t at = corner_of(primitive.mode, t, k);
                    const uint32_t v = primitive.indices >= 0 ? index_at(indices, at) : static_cast<uint32_t>(at);
                    if (v >= positions.count) {
                        *why = "an index is out of range: " + std::to_string(v) + " of " +
                               std::to_string(positions.count) + " vertices";
                        return false;
                    }
                    corner[k] = base + v;
                }
                // A mirroring transform turns the faces round; swapping two corners turns them back.
                if (determinant < 0.0) std::swap(corner[1], corner[2]);
                model->indices.insert(model->indices.end(), {corner[0], corner[1], corner[2]});
            }
        }
    }
    model->has_normals = every_vertex_has_normal;
    take_texture(gltf, std::filesystem::path(path).parent_path(), model);
    return true;
}
