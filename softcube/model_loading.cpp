// softcube::model from a file or from arrays, through the same checks and finishing steps as the program's models.
#include <cmath>
#include <string>

#include "model/model_load.h"
#include "model/model_shape.h"
#include "model/model_texture.h"
#include "softcube/model_data.h"
#include "softcube/softcube.h"

namespace softcube {
namespace {

[[noreturn]] void fail(const std::string& why) { throw error(why); }

void check_length(const char* name, size_t length, size_t per_vertex, size_t vertices) {
    if (length != per_vertex * vertices) {
        fail(std::string(name) + " holds " + std::to_string(length) + " numbers; " + std::to_string(vertices) +
             " vertices need " + std::to_string(per_vertex * vertices));
    }
}

}  // namespace

std::size_t model::vertex_count() const { return data_ ? data_->model.vertex_count() : 0; }
std::size_t model::triangle_count() const { return data_ ? data_->model.triangle_count() : 0; }
bool model::has_texture() const { return data_ && data_->textured; }

const std::vector<std::string>& model::warnings() const {
    static const std::vector<std::string> none;
    return data_ ? data_->warnings : none;
}

model load_model(const std::string& path, const load_options& options) {
    auto data = std::make_shared<detail::model_data>();
    std::string why;
    model_limits_t limits;
    limits.confine_to_model_folder = options.confine_to_model_folder;
    if (!::load_model(path, &data->model, &why, limits)) fail(why);
    data->warnings = data->model.warnings;
    std::string warning;
    std::unique_ptr<texture_t> texture = load_model_texture(data->model, options.texture, &warning);
    if (!warning.empty()) data->warnings.push_back(warning);
    data->textured = texture != nullptr && data->model.has_texcoords;
    data->texture = std::move(texture);
    data->name = path.substr(path.find_last_of('/') + 1);
    model m;
    m.data_ = std::move(data);
    return m;
}

model make_model(const mesh_arrays& a) {
    if (a.positions.empty() || a.positions.size() % 3 != 0) {
        fail("positions need x, y, z for each vertex: " + std::to_string(a.positions.size()) + " numbers given");
    }
    const size_t n = a.positions.size() / 3;
    if (n > 2000000) fail("too many vertices: " + std::to_string(n) + ", at most 2000000");
    if (a.indices.empty() || a.indices.size() % 3 != 0) {
        fail("indices need three vertex numbers per triangle: " + std::to_string(a.indices.size()) + " given");
    }
    if (a.indices.size() / 3 > 2000000) fail("too many triangles: at most 2000000");
    for (size_t i = 0; i < a.indices.size(); ++i) {
        if (a.indices[i] >= n) {
            fail("index " + std::to_string(i) + " is " + std::to_string(a.indices[i]) + ", but there are only " +
                 std::to_string(n) + " vertices");
        }
    }
    if (a.colour_channels != 3 && a.colour_channels != 4) fail("colours need 3 or 4 channels");
    if (!a.colours.empty()) {
        check_length("colours", a.colours.size(), static_cast<size_t>(a.colour_channels), n);
        // A channel beyond 1 would wrap around in the byte it becomes.
        for (size_t i = 0; i < a.colours.size(); ++i) {
            if (!(a.colours[i] >= 0.0f && a.colours[i] <= 1.0f)) {
                fail("colour value " + std::to_string(i) + " is " + std::to_string(a.colours[i]) + ", not 0 to 1");
            }
        }
    }
    if (!a.normals.empty()) check_length("normals", a.normals.size(), 3, n);
    if (!a.uvs.empty()) check_length("uvs", a.uvs.size(), 2, n);
    const bool has_texture = !a.texture.empty();
    if (has_texture &&
        (a.texture_width < 1 || a.texture_height < 1 || a.texture_width > 4096 || a.texture_height > 4096 ||
         a.texture.size() != size_t(a.texture_width) * size_t(a.texture_height) * 4)) {
        fail("the texture needs width x height x 4 bytes, each side 1 to 4096");
    }

    auto data = std::make_shared<detail::model_data>();
    model_t& m = data->model;
    m.positions.resize(n);
    m.normals.resize(n);
    m.texcoords.resize(n);
    m.colours.resize(n);
    for (size_t v = 0; v < n; ++v) {
        m.positions[v] = vec4_t(a.positions[v * 3], a.positions[v * 3 + 1], a.positions[v * 3 + 2], 1.0f);
        if (!a.normals.empty()) {
            m.normals[v] = vec4_t(a.normals[v * 3], a.normals[v * 3 + 1], a.normals[v * 3 + 2], 0.0f);
        }
        if (!a.uvs.empty()) m.texcoords[v] = vec4_t(a.uvs[v * 2], a.uvs[v * 2 + 1], 0.0f, 0.0f);
        if (a.colours.empty()) {
            m.colours[v] = default_model_colour;
        } else {
            const size_t c = v * static_cast<size_t>(a.colour_channels);
            m.colours[v] = vec4_t(a.colours[c], a.colours[c + 1], a.colours[c + 2],
                                  a.colour_channels == 4 ? a.colours[c + 3] : 1.0f);
        }
    }
    m.indices = a.indices;
    m.has_normals = !a.normals.empty();
    m.has_texcoords = !a.uvs.empty();
    std::string why;
    if (!all_values_finite(m, &why) || !centre_and_scale(m, &why)) fail(why);
    if (!m.has_normals) compute_normals(m);
    if (has_texture) {
        // The texture's rows are red, green, blue, alpha; texels keep blue, green, red first.
        std::vector<uint8_t> bgra(a.texture.size());
        for (size_t i = 0; i < bgra.size(); i += 4) {
            bgra[i] = a.texture[i + 2];
            bgra[i + 1] = a.texture[i + 1];
            bgra[i + 2] = a.texture[i];
            bgra[i + 3] = a.texture[i + 3];
        }
        auto texture = std::make_shared<texture_t>(1, 1, 32);
        if (!texture->assign_picture(static_cast<uint32_t>(a.texture_width), static_cast<uint32_t>(a.texture_height),
                                     size_t(a.texture_width) * 4, bgra.data())) {
            fail("no memory for the texture");
        }
        data->texture = std::move(texture);
    }
    data->textured = has_texture && m.has_texcoords;
    model result;
    result.data_ = std::move(data);
    return result;
}

}  // namespace softcube
