// draw_state_t: how a frame's triangles are drawn: the projection's field of view and the mode flags.
#pragma once

#include <cstdint>

// degrees * pi / 180 with pi the single-precision 3.14159274, formed in extended precision and
// rounded once to single: 90 degrees give 1.57079637.
constexpr float fov_radians_from_degrees(float degrees) {
    return static_cast<float>(static_cast<long double>(degrees) * static_cast<long double>(3.14159274f) / 180.0L);
}

struct draw_state_t {
    float fov = fov_radians_from_degrees(90.0f);  // radians
    int32_t textured = 0;                         // spans sample the texture instead of the vertex colour
    int32_t wireframe = 0;                        // only the two end pixels of each span
    int32_t cull_backfaces = 0;                   // counter-clockwise and degenerate triangles are dropped
    // Meshes send every triangle through the homogeneous clipper instead of straight to the
    // pipeline: the same picture inside the view volume, cut at its planes outside it.
    int32_t clip_triangles = 0;

    void set_fov(float degrees) { fov = fov_radians_from_degrees(degrees); }
};
