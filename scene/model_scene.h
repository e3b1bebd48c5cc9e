// model_scene_t: a loaded model in the cube's place, fitted to the picture and turned by the demo's camera.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "mesh/mesh.h"
#include "scene/scene.h"
#include "surfaces/draw_state.h"
#include "surfaces/texture.h"

struct model_scene_t : scene_t {
    std::unique_ptr<mesh_t> mesh;
    std::shared_ptr<const texture_t> texture;  // never null: a white texel when the model has none
    mat4_t projection;
    mat4_t frame;
    double radius = 0.0;  // of the bounding sphere about the model's centre
    float scale = 1.0f;   // fits that sphere to the picture

    model_scene_t(const screen_t& screen, std::unique_ptr<mesh_t> mesh, std::shared_ptr<const texture_t> texture);

    void update() override;
    void draw(screen_t& screen) const override;
    void reproject(const screen_t& screen) override;
};

// The picture quality of models drawn for people rather than as the demo draws: thumbnails and
// the library's pictures of models. Watertight edges, 2 x 2 samples and bilinear textures
// take away the demo's cracks along shared edges, its jagged edges and its blocky texels.
constexpr edge_rule_t model_picture_edges = edge_rule_t::watertight;
constexpr texture_filter_t model_picture_filter = texture_filter_t::linear;
constexpr uint32_t model_picture_ssaa = 2;
// model_picture_ssaa, or 1 for a picture whose samples would be wider or taller than a target
// can be (a side above 8192).
uint32_t model_picture_ssaa_for(uint32_t width, uint32_t height);

// How a model is drawn: the opacity its opaque materials take (1: fully opaque, see
// model/model_mesh.h) and the picture that replaces its own texture (empty: its own).
struct model_look_t {
    float opacity = 0.75f;
    std::string texture_path;
};

// Loads the model file and its texture into a scene. A texture that cannot be read is warned
// about on stderr and the model drawn without it. *texture_ready is true when the model has
// texture coordinates and a texture, the case in which texturing starts on. On failure null,
// with the one-line error naming the file.
std::unique_ptr<model_scene_t> load_model_scene(const screen_t& screen, const std::string& model_path,
                                                const model_look_t& look, bool* texture_ready, std::string* error);
