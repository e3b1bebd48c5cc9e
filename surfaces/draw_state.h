// draw_state_t: how a frame's triangles are drawn: the projection's field of view, the mode flags and the picture
// options.
#pragma once

#include <cstdint>

#include "math/vec4.h"
#include "surfaces/light.h"

// degrees * pi / 180 with pi the single-precision 3.14159274, formed in extended precision and
// rounded once to single: 90 degrees give 1.57079637.
constexpr float fov_radians_from_degrees(float degrees) {
    return static_cast<float>(static_cast<long double>(degrees) * static_cast<long double>(3.14159274f) / 180.0L);
}

// Which pixels a filled triangle covers (raster/rasteriser.h states both rules; the wireframe's
// span ends keep the span rule).
enum class edge_rule_t : uint8_t {
    spans,       // the demo's spans: rows and columns by rounding its edges' x and y
    watertight,  // pixel centres inside the snapped triangle, ties by the top-left rule
};

// How a textured pixel reads the texture (raster/texture_filter.h).
enum class texture_filter_t : uint8_t {
    nearest,    // one texel, as the demo addresses it
    linear,     // the four texels around the sample, weighted
    trilinear,  // linear in the two mip levels of the pixel's footprint, weighted
};

// Triangle edges drawn as lines (raster/edge_lines.h).
enum class line_mode_t : uint8_t {
    none,
    over_fill,  // after each triangle's fill, over it
    only,       // in place of the fill
};

// The largest supersampling factor: samples per pixel along each side.
constexpr uint32_t max_ssaa = 4;

struct draw_state_t {
    float fov = fov_radians_from_degrees(90.0f);  // radians
    int32_t textured = 0;                         // spans sample the texture instead of the vertex colour
    int32_t wireframe = 0;                        // only the two end pixels of each span
    int32_t cull_backfaces = 0;                   // counter-clockwise and degenerate triangles are dropped
    // Meshes send every triangle through the homogeneous clipper instead of straight to the
    // pipeline: the same picture inside the view volume, cut at its planes outside it.
    int32_t clip_triangles = 0;

    // The picture options; the defaults draw the demo's picture.
    edge_rule_t edges = edge_rule_t::spans;
    texture_filter_t filter = texture_filter_t::nearest;
    line_mode_t lines = line_mode_t::none;
    vec4_t light = default_light;  // see surfaces/light.h
    // Samples per pixel along each side (1 to max_ssaa): the frame is drawn into a target this
    // many times the size each way and averaged down (scene/demo_frame.h).
    uint32_t ssaa = 1;

    void set_fov(float degrees) { fov = fov_radians_from_degrees(degrees); }
};
