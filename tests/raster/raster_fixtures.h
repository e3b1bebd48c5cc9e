// Small builders shared by the rasteriser tests: offscreen targets and screen-space vertices.
#pragma once

#include <cstring>
#include <memory>

#include "geometry/vertex.h"
#include "target/screen.h"

// An offscreen target with every pixel zero and every depth 1e37.
inline std::unique_ptr<screen_t> blank_screen(uint32_t width, uint32_t height) {
    auto s = std::make_unique<screen_t>(width, height, 90.0f, screen_t::offscreen_tag{});
    std::memset(s->framebuffer, 0, static_cast<size_t>(width) * height * 4);
    s->clear_zbuffer();
    return s;
}

// A screen-space corner: position (x, y, z, 1), the given colour, a normal lit at full shade.
inline vertex_t corner(float x, float y, float z = 0.5f, vec4_t colour = {1.0f, 0.5f, 0.25f, 0.5f}) {
    return vertex_t(vec4_t(x, y, z, 1.0f), colour, vec4_t(0.0f, 0.0f, 1.0f, 0.0f));
}

inline const uint8_t* pixel(const screen_t& s, uint32_t x, uint32_t y) {
    return s.framebuffer + (static_cast<size_t>(y) * s.width + x) * 4;
}

inline float depth(const screen_t& s, uint32_t x, uint32_t y) { return s.zbuffer[static_cast<size_t>(y) * s.width + x]; }

// True when (x, y) was written: its depth is no longer the cleared value.
inline bool covered(const screen_t& s, uint32_t x, uint32_t y) { return depth(s, x, y) != 1.0e37f; }
