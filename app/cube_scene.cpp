// The cube scene: eight corners, twelve triangles, a fixed camera and a cube turning about three axes.
#include <cstdio>

#include "app/scene.h"
#include "math/mat4.h"
#include "mesh/mesh.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

namespace {

// Created by scene_setup and alive until the process ends.
mesh_t* mesh = nullptr;
texture_t* texture = nullptr;
double angle = 0.0;
mat4_t projection;
mat4_t frame_matrix;

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

const char* const scene_texture_file = "tex.bmp";

void scene_setup(screen_t& screen) {
    mesh = new mesh_t(8, 12);
    for (const cube_corner_t& c : cube_corners) {
        mesh->add_vertex(vertex_t(c.position, c.colour, c.normal));
    }
    for (int slot = 0; slot < 11; ++slot) {
        mesh->add_triangle(cube_triangles[slot]);
    }
    mesh->add_triangle(cube_triangles[11].a, cube_triangles[11].b, cube_triangles[11].c);

    const auto aspect = static_cast<float>(static_cast<long double>(screen.width) / screen.height);
    projection.perspective(screen.fov, aspect, 1.0f, 1000000.0f);
    angle = 0.0;

    texture = new texture_t(32, 32, 32);
    if (!texture->load(scene_texture_file)) {
        // The demo never samples the texture, so it goes on with the blank one.
        std::fprintf(stderr, "softcube: warning: could not load texture \"%s\"; using a blank texture\n",
                     scene_texture_file);
    }
}

void scene_update() {
    angle += 0.01;
    mat4_t translation;
    translation.translation(0.0f, 0.0f, 2.4f);
    // The divisions happen in double; each angle is rounded to single only when passed.
    const mat4_t rotation =
        mat4_t().rotation(static_cast<float>(angle), static_cast<float>(angle / 2.0), static_cast<float>(angle / 3.0));
    frame_matrix = multiply(projection, multiply(translation, rotation));
}

void scene_draw(screen_t& screen) {
    if (mesh != nullptr && texture != nullptr) {
        mesh->render(screen, frame_matrix, *texture);
    }
}
