// cube_scene_t: the demo's cube (eight corners, twelve triangles), its fixed camera and the turn it takes each frame.
#pragma once

#include <memory>

#include "mesh/mesh.h"
#include "scene/scene.h"
#include "surfaces/texture.h"

struct cube_scene_t : scene_t {
    mesh_t mesh{8, 12};
    mat4_t projection;
    mat4_t frame;  // projection * translation * rotation for the current angle
    // Once the angle passes this it starts again from one step, so that long benchmark runs
    // keep seeing the same mix of views; 0 lets it grow for ever, as the demo does.
    double wrap_angle = 0.0;
    std::unique_ptr<texture_t> texture;  // handed to the pipeline; the cube itself never samples it

    // Builds the mesh and the projection for the screen's size and field of view.
    cube_scene_t(const screen_t& screen, std::unique_ptr<texture_t> texture);

    void update() override;
    void draw(screen_t& screen) const override;
    void reproject(const screen_t& screen) override;
};
