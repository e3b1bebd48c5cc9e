// The cube scene: eight corners, twelve triangles, a fixed camera and a cube turning about three axes.
#include "scene/cube_scene.h"

#include <utility>

#include "surfaces/screen.h"

namespace {

struct cube_corner_t {
    vec4_t position;
    vec4_t colour;
    vec4_t normal;
};

// Normals point from each corner towards the centre, except corner 3's, which points away.
// Alphas of 0, 0.25, 0.5 and 1 make the cube translucent; alpha 1 is never drawn.
constexpr cube_corner_t cube_corners[8] = {
    {{-1, 1, 1, 1}, {1, 0, 1, 0}, {1, -1, -1, 0}},    {{1, 1, 1, 1}, {1, 0, 0, 0.25f}, {-1, -1, -1, 0}},
    {{-1, -1, 1, 1}, {0, 1, 0, 0.5f}, {1, 1, -1, 0}}, {{1, -1, 1, 1}, {1, 1, 1, 1}, {1, -1, 1, 0}},
    {{-1, 1, -1, 1}, {0, 1, 1, 0}, {1, -1, 1, 0}},    {{1, 1, -1, 1}, {0, 0, 1, 0.25f}, {-1, -1, 1, 0}},
    {{1, -1, -1, 1}, {1, 1, 1, 0.5f}, {-1, 1, 1, 0}}, {{-1, -1, -1, 1}, {1, 1, 0, 1}, {1, 1, 1, 0}},
};

// Two triangles per face, in the order z = +1, x = +1, y = +1, y = -1, x = -1, z = -1.
constexpr triangle_t cube_triangles[12] = {
    {2, 1, 0}, {1, 2, 3}, {1, 3, 6}, {6, 5, 1}, {0, 1, 4}, {5, 4, 1},
    {7, 3, 2}, {7, 6, 3}, {7, 2, 0}, {0, 4, 7}, {4, 5, 6}, {4, 6, 7},
};

}  // namespace

cube_scene_t::cube_scene_t(const screen_t& screen, std::unique_ptr<texture_t> texture_) : texture(std::move(texture_)) {
    for (const cube_corner_t& c : cube_corners) mesh.add_vertex(vertex_t(c.position, c.colour, c.normal));
    for (const triangle_t& t : cube_triangles) mesh.add_triangle(t);
    reproject(screen);
    frame = scene_frame(projection, camera, angle);
}

void cube_scene_t::update() {
    if (!paused) angle += 0.01;
    if (wrap_angle != 0.0 && angle > wrap_angle) angle = 0.01;
    frame = scene_frame(projection, camera, angle);
}

void cube_scene_t::draw(screen_t& screen) const { mesh.render(screen, frame, *texture); }

void cube_scene_t::reproject(const screen_t& screen) {
    projection = scene_projection(screen.fov, screen.width, screen.height, camera.zoom);
}
