// Wavefront OBJ files with their MTL materials, read by tinyobjloader into a model_t.
#include <tiny_obj_loader.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <istream>
#include <streambuf>
#include <vector>

#include "model/model_reader.h"
#include "runtime/mapped_file.h"

namespace {

// Colour of faces without a material: a light grey that the shading still shows.
constexpr vec4_t default_colour{0.8f, 0.8f, 0.8f, 1.0f};

// One model vertex per distinct (position, texture coordinate, normal, material) corner; -1 is
// "none". Corners of one position are chained, so the lookup stays linear in the number of corners.
struct corner_key_t {
    int position = -1;
    int texcoord = -1;
    int normal = -1;
    int material = -1;
    bool operator==(const corner_key_t&) const = default;
};

// A face's indices as the file writes them are 1-based, or negative to count back from the
// last element read so far; 0 is "none" for a texture coordinate or normal and invalid for a
// position. Returns the 0-based element, or `invalid` when it lies before the first. Positions
// after the count are checked once the whole file is read: OBJ allows forward references.
constexpr int64_t invalid = -2;
int64_t resolved(int raw, size_t count_so_far, bool zero_is_none) {
    if (raw > 0) return raw - 1;
    if (raw == 0) return zero_is_none ? -1 : invalid;
    const int64_t back = static_cast<int64_t>(count_so_far) + raw;
    return back < 0 ? invalid : back;
}

// How many lines of each kind the text holds, so every array is allocated once.
struct line_counts_t {
    size_t positions = 0;
    size_t normals = 0;
    size_t texcoords = 0;
    size_t faces = 0;
    std::vector<size_t> bare_usemtl_ends;  // where a "usemtl" without a name ends its line
};

line_counts_t count_lines(const char* const text, const size_t size) {
    line_counts_t counts;
    const char* p = text;
    const char* const end = text + size;
    while (p < end) {
        while (p < end && (*p == ' ' || *p == '\t')) ++p;
        // Lines end at '\n' or '\r', as the reader splits them.
        const char* line_end = p;
        while (line_end < end && *line_end != '\n' && *line_end != '\r') ++line_end;
        const auto kind_is = [&](const char* word, size_t length) {
            return static_cast<size_t>(line_end - p) > length && std::memcmp(p, word, length) == 0 &&
                   (p[length] == ' ' || p[length] == '\t');
        };
        if (kind_is("v", 1)) {
            ++counts.positions;
        } else if (kind_is("vn", 2)) {
            ++counts.normals;
        } else if (kind_is("vt", 2)) {
            ++counts.texcoords;
        } else if (static_cast<size_t>(line_end - p) >= 6 && std::memcmp(p, "usemtl", 6) == 0 &&
                   std::all_of(p + 6, line_end, [](char c) { return c == ' ' || c == '\t'; })) {
            counts.bare_usemtl_ends.push_back(static_cast<size_t>(p + 6 - text));
        } else if (kind_is("f", 1)) {
            ++counts.faces;
        }
        p = line_end + 1;
    }
    return counts;
}

// What tinyobjloader's callbacks collect: the attribute arrays, every face's corners with
// indices resolved, and the first problem met. Past the limits nothing more is kept.
struct obj_collector_t {
    model_limits_t limits;
    std::vector<float> positions;  // x, y, z
    std::vector<float> normals;    // x, y, z
    std::vector<float> texcoords;  // u, v
    std::vector<corner_key_t> corners;
    std::vector<uint32_t> face_sizes;
    std::vector<tinyobj::material_t> materials;
    int material = -1;
    size_t faces_seen = 0;
    uint64_t triangles = 0;
    std::string problem;

    void fail(std::string why) {
        if (problem.empty()) problem = std::move(why);
    }
    bool within(size_t count, const char* what) {
        if (count < limits.max_vertices) return true;
        fail("too large: more than " + std::to_string(limits.max_vertices) + " " + what);
        return false;
    }

    static obj_collector_t& of(void* user_data) { return *static_cast<obj_collector_t*>(user_data); }

    static void position(void* user_data, float x, float y, float z, float) {
        obj_collector_t& c = of(user_data);
        if (c.within(c.positions.size() / 3, "positions")) c.positions.insert(c.positions.end(), {x, y, z});
    }
    static void normal(void* user_data, float x, float y, float z) {
        obj_collector_t& c = of(user_data);
        if (c.within(c.normals.size() / 3, "normals")) c.normals.insert(c.normals.end(), {x, y, z});
    }
    static void texcoord(void* user_data, float u, float v, float) {
        obj_collector_t& c = of(user_data);
        if (c.within(c.texcoords.size() / 2, "texture coordinates")) c.texcoords.insert(c.texcoords.end(), {u, v});
    }
    static void face(void* user_data, tinyobj::index_t* indices, int count) {
        obj_collector_t& c = of(user_data);
        ++c.faces_seen;
        if (count < 3) {
            c.fail("a face has fewer than three corners");
            return;
        }
        // Past the limit faces are still counted, for the message, but no longer kept.
        c.triangles += static_cast<uint64_t>(count) - 2u;
        if (!c.problem.empty() || c.triangles > c.limits.max_triangles) return;
        for (int k = 0; k < count; ++k) {
            const int64_t p = resolved(indices[k].vertex_index, c.positions.size() / 3, false);
            const int64_t t = resolved(indices[k].texcoord_index, c.texcoords.size() / 2, true);
            const int64_t n = resolved(indices[k].normal_index, c.normals.size() / 3, true);
            if (p == invalid || t == invalid || n == invalid) {
                c.fail("a face refers to a vertex, normal or texture coordinate that does not exist");
                return;
            }
            // Indices come from int, so every resolved one fits an int again.
            c.corners.push_back({static_cast<int>(p), static_cast<int>(t), static_cast<int>(n), c.material});
        }
        c.face_sizes.push_back(static_cast<uint32_t>(count));
    }
    static void use_material(void* user_data, const char*, int material) {
        obj_collector_t& c = of(user_data);
        c.material = material >= 0 && static_cast<size_t>(material) < c.materials.size() ? material : -1;
    }
    static void material_library(void* user_data, const tinyobj::material_t* materials, int count) {
        of(user_data).materials.assign(materials, materials + count);
    }
};

// Reads bytes in place, without the copy std::istringstream makes; nothing is ever written.
struct text_buffer_t : std::streambuf {
    text_buffer_t(const char* first, size_t size) {
        char* const begin = const_cast<char*>(first);
        setg(begin, begin, begin + size);
    }
};

}  // namespace

bool read_obj(const std::string& path, const model_limits_t& limits, model_t* model, std::string* why) {
    const std::filesystem::path file(path);
    const rt::mapped_file_t file_bytes(path);
    if (!file_bytes.ok()) {
        *why = "cannot be read";
        return false;
    }
    const line_counts_t counts = count_lines(file_bytes.data(), file_bytes.size());
    // "usemtl" alone ends the current material; the streaming reader only knows the form with a
    // name, so such lines are given an empty name, which no material has.
    std::string named;
    if (!counts.bare_usemtl_ends.empty()) {
        named.reserve(file_bytes.size() + counts.bare_usemtl_ends.size());
        size_t copied = 0;
        for (const size_t end : counts.bare_usemtl_ends) {
            named.append(file_bytes.data() + copied, end - copied).push_back(' ');
            copied = end;
        }
        named.append(file_bytes.data() + copied, file_bytes.size() - copied);
    }
    obj_collector_t collected;
    collected.limits = limits;
    const auto capped = [&](size_t count) { return std::min<size_t>(count, limits.max_vertices); };
    collected.positions.reserve(capped(counts.positions) * 3);
    collected.normals.reserve(capped(counts.normals) * 3);
    collected.texcoords.reserve(capped(counts.texcoords) * 2);
    // Room for triangles; faces with more corners grow the array.
    collected.corners.reserve(std::min<size_t>(counts.faces, limits.max_triangles) * 3);
    collected.face_sizes.reserve(std::min<size_t>(counts.faces, limits.max_triangles));

    // The streaming reader hands over each line as it is parsed, so nothing is held twice;
    // lines it does not know (skin weights, lines, points) are skipped.
    tinyobj::callback_t callbacks;
    callbacks.vertex_cb = &obj_collector_t::position;
    callbacks.normal_cb = &obj_collector_t::normal;
    callbacks.texcoord_cb = &obj_collector_t::texcoord;
    callbacks.index_cb = &obj_collector_t::face;
    callbacks.usemtl_cb = &obj_collector_t::use_material;
    callbacks.mtllib_cb = &obj_collector_t::material_library;
    text_buffer_t buffer(named.empty() ? file_bytes.data() : named.data(),
                         named.empty() ? file_bytes.size() : named.size());
    std::istream stream(&buffer);
    // Materials are looked up beside the file.
    const std::string folder = file.parent_path().string();
    tinyobj::MaterialFileReader materials_beside(folder.empty() ? "" : folder + "/");
    std::string warning;
    std::string error;
    tinyobj::LoadObjWithCallback(stream, callbacks, &collected, &materials_beside, &warning, &error);
    // A face line without a single corner never reaches the callback.
    if (collected.problem.empty() && collected.faces_seen != counts.faces) {
        collected.fail("a face has fewer than three corners");
    }
    if (collected.triangles == 0) collected.fail("no triangles");
    if (collected.triangles > limits.max_triangles) {
        collected.fail("too large: " + std::to_string(collected.triangles) + " triangles, at most " +
                       std::to_string(limits.max_triangles) + " are accepted");
    }
    if (!collected.problem.empty()) {
        *why = collected.problem;
        return false;
    }

    const size_t position_count = collected.positions.size() / 3;
    std::vector<int> first_corner(position_count, -1);
    std::vector<int> next_corner;
    std::vector<corner_key_t> keys;
    // Most files have about one vertex per position; more grow the arrays as they come.
    next_corner.reserve(position_count);
    keys.reserve(position_count);
    bool every_corner_has_normal = true;
    model->indices.reserve(static_cast<size_t>(collected.triangles) * 3);

    const auto vertex_of = [&](const corner_key_t& key, uint32_t* vertex) {
        if (key.position < 0 || static_cast<size_t>(key.position) >= position_count ||
            static_cast<size_t>(key.normal + 1) > collected.normals.size() / 3 ||
            static_cast<size_t>(key.texcoord + 1) > collected.texcoords.size() / 2) {
            *why = "a face refers to a vertex, normal or texture coordinate that does not exist";
            return false;
        }
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

    size_t next = 0;
    for (const uint32_t corners : collected.face_sizes) {
        uint32_t first = 0;
        uint32_t previous = 0;
        for (uint32_t k = 0; k < corners; ++k) {
            const corner_key_t& corner = collected.corners[next + k];
            uint32_t vertex = 0;
            if (!vertex_of(corner, &vertex)) return false;
            if (corner.normal < 0) every_corner_has_normal = false;
            // A fan around the first corner, keeping the face's winding.
            if (k == 0) first = vertex;
            if (k >= 2) model->indices.insert(model->indices.end(), {first, previous, vertex});
            previous = vertex;
        }
        next += corners;
    }

    const size_t count = keys.size();
    model->positions.resize(count);
    model->normals.assign(count, vec4_t(0.0f, 0.0f, 0.0f, 0.0f));
    model->texcoords.assign(count, vec4_t(0.0f, 0.0f, 0.0f, 0.0f));
    model->colours.resize(count);
    model->has_normals = every_corner_has_normal;
    const std::vector<float>& positions = collected.positions;
    const std::vector<float>& normals = collected.normals;
    const std::vector<float>& texcoords = collected.texcoords;
    for (size_t i = 0; i < count; ++i) {
        const corner_key_t& key = keys[i];
        const auto p = static_cast<size_t>(key.position) * 3;
        model->positions[i] = vec4_t(positions[p], positions[p + 1], positions[p + 2], 1.0f);
        if (key.normal >= 0) {
            const auto n = static_cast<size_t>(key.normal) * 3;
            model->normals[i] = vec4_t(normals[n], normals[n + 1], normals[n + 2], 0.0f);
        }
        if (key.texcoord >= 0) {
            // OBJ puts v = 0 at the picture's bottom row; the texture keeps its top row first.
            const auto t = static_cast<size_t>(key.texcoord) * 2;
            model->texcoords[i] = vec4_t(texcoords[t], 1.0f - texcoords[t + 1], 0.0f, 0.0f);
            model->has_texcoords = true;
        }
        if (key.material >= 0) {
            const tinyobj::material_t& m = collected.materials[static_cast<size_t>(key.material)];
            model->colours[i] = vec4_t(m.diffuse[0], m.diffuse[1], m.diffuse[2], m.dissolve);
        } else {
            model->colours[i] = default_colour;
        }
    }

    // The model's one texture: the diffuse map of the first material that names one.
    for (const tinyobj::material_t& m : collected.materials) {
        if (!m.diffuse_texname.empty()) {
            model->texture_path = (file.parent_path() / m.diffuse_texname).string();
            break;
        }
    }
    return true;
}
