// model_scene_t: a loaded model in the cube's place, turned by the demo's camera, with a pause.
#pragma once

#include <memory>
#include <string>

#include "app/scene.h"
#include "math/mat4.h"
#include "mesh/mesh.h"
#include "surfaces/texture.h"

struct model_scene_t : scene_t {
    std::unique_ptr<mesh_t> mesh;
    std::unique_ptr<texture_t> texture;  // never null: a white texel when the model has none
    mat4_t projection;
    mat4_t frame;
    double angle = 0.0;
    bool paused = false;  // the angle stands still; frames go on

    model_scene_t(const screen_t& screen, std::unique_ptr<mesh_t> mesh, std::unique_ptr<texture_t> texture);

    void update() override;
    void draw(screen_t& screen) const override;
};

// Loads the model file and its texture (the --texture picture or the model's own) into a scene.
// A texture that cannot be read is warned about on stderr and the model drawn without it.
// *texture_ready is true when the model has texture coordinates and a texture, the case in
// which texturing starts on. On failure null, with the one-line error naming the file.
std::unique_ptr<model_scene_t> load_model_scene(const screen_t& screen, const std::string& model_path,
                                                const std::string& texture_path, float opacity, bool* texture_ready,
                                                std::string* error);
