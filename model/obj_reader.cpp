// Wavefront OBJ files with their MTL materials, read by tinyobjloader into a model_t.
#include <tiny_obj_loader.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <vector>

#include "model/model_reader.h"
#include "model/obj_materials.h"
#include "model/obj_text_scan.h"
#include "model/text_buffer.h"

namespace {

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
// position. Returns the 0-based element, or `invalid` when it lies before the first. Indices
// after the count are checked once the whole file is read: OBJ allows forward references.
constexpr int64_t invalid = -2;
int64_t resolved(int raw, size_t count_so_far, bool zero_is_none) {
    if (raw > 0) return raw - 1;
    if (raw == 0) return zero_is_none ? -1 : invalid;
    const int64_t back = static_cast<int64_t>(count_so_far) + raw;
    return back < 0 ? invalid : back;
}

constexpr const char* missing_vertex = "a face refers to a vertex that does not exist";

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
            if (p == invalid) {
                c.fail(missing_vertex);
                return;
            }
            // Indices come from int, so every resolved one fits an int again; a texture
            // coordinate or normal before the first stays `invalid` and is dealt with later.
            c.corners.push_back({static_cast<int>(p), static_cast<int>(t), static_cast<int>(n), c.material});
        }
        c.face_sizes.push_back(static_cast<uint32_t>(count));
    }
    static void use_material(void* user_data, const char*, int material) {
        obj_collector_t& c = of(user_data);
        c.material = material >= 0 && static_cast<size_t>(material) < c.materials.size() ? material : -1;
    }
    // Each library read hands over every material so far; those already kept are the same.
    static void material_library(void* user_data, const tinyobj::material_t* materials, int count) {
        obj_collector_t& c = of(user_data);
        if (static_cast<size_t>(count) > c.materials.size()) {
            c.materials.insert(c.materials.end(), materials + c.materials.size(), materials + count);
        }
    }
};

// Texture coordinates and normals that faces name but the file does not hold are dropped, all
// of them, with one warning: exporters write such files (a normal index on every corner and no
// normals at all), and the model is still drawn, with computed normals or without texture
// coordinates. Positions that do not exist were refused before.
void drop_missing_normals_and_texcoords(obj_collector_t& collected, const std::string& path,
                                        std::vector<std::string>* warnings) {
    std::vector<corner_key_t>& corners = collected.corners;
    const auto normal_count = static_cast<int64_t>(collected.normals.size() / 3);
    const auto texcoord_count = static_cast<int64_t>(collected.texcoords.size() / 2);
    size_t missing_normals = 0;
    size_t missing_texcoords = 0;
    for (const corner_key_t& corner : corners) {
        if (corner.normal == invalid || corner.normal >= normal_count) ++missing_normals;
        if (corner.texcoord == invalid || corner.texcoord >= texcoord_count) ++missing_texcoords;
    }
    const auto corners_naming = [](size_t count, const char* one, const char* many) {
        return count == 1 ? std::string("1 face corner names ") + one + " that does not exist"
                          : std::to_string(count) + " face corners name " + many + " that do not exist";
    };
    if (missing_normals != 0) {
        for (corner_key_t& corner : corners) corner.normal = -1;
        warnings->push_back("warning: " + path + ": " + corners_naming(missing_normals, "a normal", "normals") +
                            "; drawing with computed normals");
    }
    if (missing_texcoords != 0) {
        for (corner_key_t& corner : corners) corner.texcoord = -1;
        warnings->push_back("warning: " + path + ": " +
                            corners_naming(missing_texcoords, "a texture coordinate", "texture coordinates") +
                            "; drawing without texture coordinates");
    }
}

}  // namespace

bool read_obj(const model_source_t& source, const model_limits_t& limits, model_t* model, model_problem_t* problem) {
    const obj_text_scan_t scan = scan_obj_text(source.bytes, source.size);
    if (scan.bad_line != 0) {
        *problem = {scan.bad_what, scan.bad_line};
        return false;
    }
    // "usemtl" alone ends the current material; the streaming reader only knows the form with a
    // name, so such lines are given an empty name, which no material has.
    std::string named;
    if (!scan.bare_usemtl_ends.empty()) {
        named.reserve(source.size + scan.bare_usemtl_ends.size());
        size_t copied = 0;
        for (const size_t end : scan.bare_usemtl_ends) {
            named.append(source.bytes + copied, end - copied).push_back(' ');
            copied = end;
        }
        named.append(source.bytes + copied, source.size - copied);
    }
    obj_collector_t collected;
    collected.limits = limits;
    const auto capped = [&](size_t count) { return std::min<size_t>(count, limits.max_vertices); };
    collected.positions.reserve(capped(scan.positions) * 3);
    collected.normals.reserve(capped(scan.normals) * 3);
    collected.texcoords.reserve(capped(scan.texcoords) * 2);
    // Room for triangles; faces with more corners grow the array.
    collected.corners.reserve(std::min<size_t>(scan.faces, limits.max_triangles) * 3);
    collected.face_sizes.reserve(std::min<size_t>(scan.faces, limits.max_triangles));

    // The streaming reader hands over each line as it is parsed, so nothing is held twice;
    // lines it does not know (skin weights, lines, points) are skipped.
    tinyobj::callback_t callbacks;
    callbacks.vertex_cb = &obj_collector_t::position;
    callbacks.normal_cb = &obj_collector_t::normal;
    callbacks.texcoord_cb = &obj_collector_t::texcoord;
    callbacks.index_cb = &obj_collector_t::face;
    callbacks.usemtl_cb = &obj_collector_t::use_material;
    callbacks.mtllib_cb = &obj_collector_t::material_library;
    text_buffer_t buffer(named.empty() ? source.bytes : named.data(), named.empty() ? source.size : named.size());
    std::istream stream(&buffer);
    obj_material_libraries_t libraries(source, limits);
    std::string warning;
    std::string error;
    tinyobj::LoadObjWithCallback(stream, callbacks, &collected, &libraries, &warning, &error);
    // A face line without a single corner never reaches the callback.
    if (collected.problem.empty() && collected.faces_seen != scan.faces) {
        collected.fail("a face has fewer than three corners");
    }
    if (collected.triangles == 0) collected.fail("no triangles");
    if (collected.triangles > limits.max_triangles) {
        collected.fail("too large: " + std::to_string(collected.triangles) + " triangles, at most " +
                       std::to_string(limits.max_triangles) + " are accepted");
    }
    const size_t position_count = collected.positions.size() / 3;
    if (collected.problem.empty()) {
        for (const corner_key_t& corner : collected.corners) {
            if (static_cast<size_t>(corner.position) >= position_count) collected.fail(missing_vertex);
        }
    }
    if (!collected.problem.empty()) {
        problem->what = collected.problem;
        return false;
    }
    if (const std::string left_out = libraries.warning(); !left_out.empty()) model->warnings.push_back(left_out);
    drop_missing_normals_and_texcoords(collected, source.path, &model->warnings);

    std::vector<int> first_corner(position_count, -1);
    std::vector<int> next_corner;
    std::vector<corner_key_t> keys;
    // Most files have about one vertex per position; more grow the arrays as they come.
    next_corner.reserve(position_count);
    keys.reserve(position_count);
    bool every_corner_has_normal = true;
    model->indices.reserve(static_cast<size_t>(collected.triangles) * 3);

    const auto vertex_of = [&](const corner_key_t& key, uint32_t* vertex) {
        int found = first_corner[static_cast<size_t>(key.position)];
        while (found != -1 && !(keys[static_cast<size_t>(found)] == key))
            found = next_corner[static_cast<size_t>(found)];
        if (found == -1) {
            if (keys.size() >= limits.max_vertices) {
                problem->what = "too large: more than " + std::to_string(limits.max_vertices) + " vertices";
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
            model->colours[i] = default_model_colour;
        }
    }

    // The model's one texture: the diffuse map of the first material that names one.
    for (const tinyobj::material_t& m : collected.materials) {
        if (!m.diffuse_texname.empty()) {
            model->texture_path = (std::filesystem::path(source.folder) / m.diffuse_texname).string();
            break;
        }
    }
    return true;
}
