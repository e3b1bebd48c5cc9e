// Small helpers shared by the rasteriser tests: offscreen targets, corners, pixel reads and picture comparison.
#pragma once

#include <cstring>
#include <memory>

#include "geometry/vertex.h"
#include "raster/pipeline.h"
#include "surfaces/screen.h"

// An offscreen target: every pixel byte zero (as constructed) and every depth 1e37.
inline std::unique_ptr<screen_t> blank_screen(uint32_t width, uint32_t height) {
    auto s = std::make_unique<screen_t>(width, height, 90.0f, screen_t::offscreen_tag{});
    s->clear_zbuffer();
    return s;
}

// A corner in screen or clip space, translucent, with a normal lit at full shade.
inline vertex_t corner(float x, float y, float z = 0.5f, float w = 1.0f, vec4_t colour = {1.0f, 0.5f, 0.25f, 0.5f}) {
    return vertex_t(vec4_t(x, y, z, w), colour, vec4_t(0.0f, 0.0f, 1.0f, 0.0f));
}

inline const uint8_t* pixel(const screen_t& s, uint32_t x, uint32_t y) {
    return s.framebuffer + (size_t{y} * s.width + x) * 4;
}
inline float depth(const screen_t& s, uint32_t x, uint32_t y) { return s.zbuffer[size_t{y} * s.width + x]; }
// True when (x, y) was written: its depth is no longer the cleared value.
inline bool covered(const screen_t& s, uint32_t x, uint32_t y) { return depth(s, x, y) != 1.0e37f; }

// A clip-space triangle through the screen's viewport, culling and sort, as one value.
struct screen_triangle_t {
    vertex_t top;
    vertex_t middle;
    vertex_t bottom;
    int32_t middle_is_left = 0;  // -1 when the middle corner lies left of the long edge or on it
    bool culled = true;          // dropped as a back face; the corners are then left default
};
inline screen_triangle_t to_screen_triangle(const screen_t& s, const vertex_t& c1, const vertex_t& c2,
                                            const vertex_t& c3) {
    screen_triangle_t t;
    map_and_sort(viewport_of(s), s.cull_backfaces != 0, c1, c2, c3,
                 [&](const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, int32_t middle_is_left) {
                     t = {top, middle, bottom, middle_is_left, false};
                 });
    return t;
}

// Bit 0 textured, bit 1 wireframe, bit 2 back-face culling.
inline void set_mode(screen_t& s, int mode) {
    s.textured = mode & 1;
    s.wireframe = (mode >> 1) & 1;
    s.cull_backfaces = (mode >> 2) & 1;
}

// The same bytes, depths (bit for bit) and counters.
inline bool same_picture(const screen_t& a, const screen_t& b) {
    const size_t n = size_t{a.width} * a.height;
    return n == size_t{b.width} * b.height && a.pixel_count == b.pixel_count && a.triangle_count == b.triangle_count &&
           std::memcmp(a.framebuffer, b.framebuffer, n * 4) == 0 && std::memcmp(a.zbuffer, b.zbuffer, n * 4) == 0;
}
