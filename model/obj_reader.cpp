// Wavefront OBJ files with their MTL materials, read by tinyobjloader into a model_t.
#include <tiny_obj_loader.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <istream>
#include <limits>
#include <streambuf>
#include <vector>

#include "model/model_reader.h"

namespace {

// Colour of faces without a material: a light grey that the shading still shows.
constexpr vec4_t default_colour{0.8f, 0.8f, 0.8f, 1.0f};

// The first line of tinyobjloader's message, without its trailing full stop or newline.
std::string first_line(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '.' || line.back() == ' ' || line.back() == '\r')) line.pop_back();
    return line;
}

// One model vertex per distinct (position, texture coordinate, normal, material) corner. Corners
// of one position are chained, so the lookup stays linear in the number of corners.
struct corner_key_t {
    int position = -1;
    int texcoord = -1;
    int normal = -1;
    int material = -1;
    bool operator==(const corner_key_t&) const = default;
};

// Reads the file's text with its skin-weight lines ("vw") made comments: the model has no use
// for them, and tinyobjloader converts their joint numbers to int without a range check.
bool read_text_without_skin_weights(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 0 || !in.seekg(0)) return false;
    text->resize(static_cast<size_t>(size));
    if (size > 0 && !in.read(text->data(), size)) return false;
    bool line_start = true;
    for (size_t i = 0; i < text->size(); ++i) {
        char& c = (*text)[i];
        if (c == '\n' || c == '\r') {
            line_start = true;
            continue;
        }
        if (line_start && (c == ' ' || c == '\t')) continue;
        if (line_start && c == 'v' && i + 1 < text->size() && (*text)[i + 1] == 'w') c = '#';
        line_start = false;
    }
    return true;
}

// Reads a string in place, without the copy std::istringstream makes.
struct text_buffer_t : std::streambuf {
    explicit text_buffer_t(std::string& text) { setg(text.data(), text.data(), text.data() + text.size()); }
};

}  // namespace

bool read_obj(const std::string& path, const model_limits_t& limits, model_t* model, std::string* why) {
    const std::filesystem::path file(path);
    std::string text;
    if (!read_text_without_skin_weights(path, &text)) {
        *why = "cannot be read";
        return false;
    }
    text_buffer_t buffer(text);
    std::istream stream(&buffer);
    // Materials are looked up beside the file.
    const std::string folder = file.parent_path().string();
    tinyobj::MaterialFileReader materials_beside(folder.empty() ? "" : folder + "/");
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warning;
    std::string error;
    // Not triangulated here: polygons become fans below, where their indices are checked first.
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warning, &error, &stream, &materials_beside, false, false)) {
        *why = error.empty() ? "cannot be read as OBJ" : first_line(error);
        return false;
    }
    if (warning.find("Degenerated face") != std::string::npos) {
        *why = "a face has fewer than three corners";
        return false;
    }
    const int position_count = static_cast<int>(attrib.vertices.size() / 3);
    const int normal_count = static_cast<int>(attrib.normals.size() / 3);
    const int texcoord_count = static_cast<int>(attrib.texcoords.size() / 2);

    // Counts first: triangles of every face, checked against the limit before any array grows.
    uint64_t triangles = 0;
    for (const tinyobj::shape_t& shape : shapes) {
        for (const unsigned char corners : shape.mesh.num_face_vertices) {
            if (corners < 3) {
                *why = "a face has fewer than three corners";
                return false;
            }
            triangles += corners - 2u;
        }
    }
    if (triangles == 0) {
        *why = "no triangles";
        return false;
    }
    if (triangles > limits.max_triangles) {
        *why = "too large: " + std::to_string(triangles) + " triangles, at most " +
               std::to_string(limits.max_triangles) + " are accepted";
        return false;
    }

    std::vector<int> first_corner(static_cast<size_t>(position_count), -1);
    std::vector<int> next_corner;
    std::vector<corner_key_t> keys;
    // Most files have about one vertex per position; more grow the arrays as they come.
    const size_t expected = std::min<size_t>(static_cast<size_t>(position_count), limits.max_vertices);
    next_corner.reserve(expected);
    keys.reserve(expected);
    bool every_corner_has_normal = true;
    model->indices.reserve(static_cast<size_t>(triangles) * 3);

    const auto vertex_of = [&](const tinyobj::index_t& corner, int material, uint32_t* vertex) {
        if (corner.vertex_index < 0 || corner.vertex_index >= position_count || corner.normal_index >= normal_count ||
            corner.texcoord_index >= texcoord_count || corner.normal_index < -1 || corner.texcoord_index < -1) {
            *why = "a face refers to a vertex, normal or texture coordinate that does not exist";
            return false;
        }
        const corner_key_t key{corner.vertex_index, corner.texcoord_index, corner.normal_index, material};
        int found = first_corner[static_cast<size_t>(key.position)];
        while (found != -1 && !(keys[static_cast<size_t>(found)] == key))
            found = next_corner[static_cast<size_t>(found)];
        if (found == -1) {
            if (keys.size() >= limits.max_vertices) {
                *why = "too large: more than " + std::to_string(limits.max_vertices) + " vertices";
                return false;
            }
            found = static_cast<int>(keys.size());
            keys.push_back(key);
            next_corner.push_back(first_corner[static_cast<size_t>(key.position)]);
            first_corner[static_cast<size_t>(key.position)] = found;
        }
        *vertex = static_cast<uint32_t>(found);
        return true;
    };

    for (const tinyobj::shape_t& shape : shapes) {
        size_t next = 0;
        for (size_t face = 0; face < shape.mesh.num_face_vertices.size(); ++face) {
            const size_t corners = shape.mesh.num_face_vertices[face];
            int material = face < shape.mesh.material_ids.size() ? shape.mesh.material_ids[face] : -1;
            if (material < 0 || static_cast<size_t>(material) >= materials.size()) material = -1;
            uint32_t first = 0;
            uint32_t previous = 0;
            for (size_t k = 0; k < corners; ++k) {
                const tinyobj::index_t& corner = shape.mesh.indices[next + k];
                uint32_t vertex = 0;
                if (!vertex_of(corner, material, &vertex)) return false;
                if (corner.normal_index < 0) every_corner_has_normal = false;
                // A fan around the first corner, keeping the face's winding.
                if (k == 0) first = vertex;
                if (k >= 2) model->indices.insert(model->indices.end(), {first, previous, vertex});
                previous = vertex;
            }
            next += corners;
        }
    }

    const size_t count = keys.size();
    model->positions.resize(count);
    model->normals.assign(count, vec4_t(0.0f, 0.0f, 0.0f, 0.0f));
    model->texcoords.assign(count, vec4_t(0.0f, 0.0f, 0.0f, 0.0f));
    model->colours.resize(count);
    model->has_normals = every_corner_has_normal;
    for (size_t i = 0; i < count; ++i) {
        const corner_key_t& key = keys[i];
        const auto p = static_cast<size_t>(key.position) * 3;
        model->positions[i] = vec4_t(attrib.vertices[p], attrib.vertices[p + 1], attrib.vertices[p + 2], 1.0f);
        if (key.normal >= 0) {
            const auto n = static_cast<size_t>(key.normal) * 3;
            model->normals[i] = vec4_t(attrib.normals[n], attrib.normals[n + 1], attrib.normals[n + 2], 0.0f);
        }
        if (key.texcoord >= 0) {
            // OBJ puts v = 0 at the picture's bottom row; the texture keeps its top row first.
            const auto t = static_cast<size_t>(key.texcoord) * 2;
            model->texcoords[i] = vec4_t(attrib.texcoords[t], 1.0f - attrib.texcoords[t + 1], 0.0f, 0.0f);
            model->has_texcoords = true;
        }
        if (key.material >= 0) {
            const tinyobj::material_t& m = materials[static_cast<size_t>(key.material)];
            model->colours[i] = vec4_t(m.diffuse[0], m.diffuse[1], m.diffuse[2], m.dissolve);
        } else {
            model->colours[i] = default_colour;
        }
    }

    // The model's one texture: the diffuse map of the first material that names one.
    for (const tinyobj::material_t& m : materials) {
        if (!m.diffuse_texname.empty()) {
            model->texture_path = (file.parent_path() / m.diffuse_texname).string();
            break;
        }
    }
    return true;
}
