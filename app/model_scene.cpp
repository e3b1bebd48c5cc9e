// The model scene: the cube's camera and turn, drawn with the model's mesh and texture.
#include "app/model_scene.h"

#include <cstdio>
#include <cstring>

#include "app/turning_camera.h"
#include "model/model_load.h"
#include "model/model_mesh.h"
#include "model/model_texture.h"

model_scene_t::model_scene_t(const screen_t& screen, std::unique_ptr<mesh_t> mesh_, std::unique_ptr<texture_t> texture_)
    : mesh(std::move(mesh_)), texture(std::move(texture_)) {
    if (texture == nullptr) {
        // Texturing a model without a picture shows its shading on white.
        texture = std::make_unique<texture_t>(1, 1, 32);
        std::memset(texture->pixels, 255, 3);
    }
    projection = demo_projection(screen);
    frame = turning_frame(projection, angle);
}

void model_scene_t::update() {
    if (!paused) angle += 0.01;
    frame = turning_frame(projection, angle);
}

void model_scene_t::draw(screen_t& screen) const { mesh->render(screen, frame, *texture); }

std::unique_ptr<model_scene_t> load_model_scene(const screen_t& screen, const std::string& model_path,
                                                const std::string& texture_path, float opacity, bool* texture_ready,
                                                std::string* error) {
    model_t model;
    if (!load_model(model_path, &model, error)) return nullptr;
    for (const std::string& left_out : model.warnings) std::fprintf(stderr, "softcube: %s\n", left_out.c_str());
    std::string warning;
    std::unique_ptr<texture_t> texture = load_model_texture(model, texture_path, &warning);
    if (!warning.empty()) std::fprintf(stderr, "softcube: %s\n", warning.c_str());
    *texture_ready = texture != nullptr && model.has_texcoords;
    return std::make_unique<model_scene_t>(screen, make_mesh(model, opacity), std::move(texture));
}
