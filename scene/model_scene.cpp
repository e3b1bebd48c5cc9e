// The model scene: the model fitted to the picture, turned as the cube turns, drawn with its mesh and texture.
#include "scene/model_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/graphics_screen.h"
#include "model/model_load.h"
#include "model/model_mesh.h"
#include "model/model_texture.h"
#include "surfaces/screen.h"

namespace {

double bounding_radius(const mesh_t& mesh) {
    double r2 = 0.0;
    for (int32_t i = 0; i < mesh.vertex_count; ++i) {
        const vec4_t& p = mesh.vertices[static_cast<size_t>(i)].position;
        const double x = p.x, y = p.y, z = p.z;
        r2 = std::fmax(r2, x * x + y * y + z * z);
    }
    return std::sqrt(r2);
}

}  // namespace

model_scene_t::model_scene_t(const screen_t& screen, std::unique_ptr<mesh_t> mesh_,
                             std::shared_ptr<const texture_t> texture_)
    : mesh(std::move(mesh_)), texture(std::move(texture_)) {
    if (texture == nullptr) {
        // Texturing a model without a picture shows its shading on white.
        auto white = std::make_shared<texture_t>(1, 1, 32);
        std::memset(white->pixels, 255, 3);
        texture = std::move(white);
    }
    radius = bounding_radius(*mesh);
    reproject(screen);
    frame = scene_frame(projection, camera, angle, scale);
}

void model_scene_t::update() {
    if (!paused) angle += 0.01;
    frame = scene_frame(projection, camera, angle, scale);
}

void model_scene_t::draw(screen_t& screen) const { mesh->render(screen, frame, *texture); }

void model_scene_t::reproject(const screen_t& screen) {
    projection = scene_projection(screen.fov, screen.width, screen.height, camera.zoom);
    scale = fit_scale(radius, screen.fov, screen.width, screen.height);
}

uint32_t model_picture_ssaa_for(uint32_t width, uint32_t height) {
    return uint64_t{std::max(width, height)} * model_picture_ssaa <= base::screen_max_side ? model_picture_ssaa : 1;
}

std::unique_ptr<model_scene_t> load_model_scene(const screen_t& screen, const std::string& model_path,
                                                const model_look_t& look, bool* texture_ready, std::string* error) {
    model_t model;
    if (!load_model(model_path, &model, error)) return nullptr;
    for (const std::string& left_out : model.warnings) std::fprintf(stderr, "softcube: %s\n", left_out.c_str());
    std::string warning;
    std::unique_ptr<texture_t> texture = load_model_texture(model, look.texture_path, &warning);
    if (!warning.empty()) std::fprintf(stderr, "softcube: %s\n", warning.c_str());
    *texture_ready = texture != nullptr && model.has_texcoords;
    return std::make_unique<model_scene_t>(screen, make_mesh(model, look.opacity), std::move(texture));
}
