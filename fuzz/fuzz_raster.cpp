// libFuzzer target: arbitrary triangles (any float, NaN and infinities) through draw_triangle, clip_and_draw and
// draw_if_inside.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "raster/clip.h"
#include "raster/pipeline.h"
#include "surfaces/light.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

// Input layout: the first byte picks the mode flags (bits 0..2: textured, wireframe,
// cull_backfaces), the entry point (bits 3..4: 0 draw_triangle, 1 clip_and_draw,
// 2 draw_if_inside, 3 all three with all eight flag combinations) and the picture options
// (bits 5..7, one of the presets below); the next 192 bytes are the three corners' 48 floats
// as raw bits (position, colour, normal, texcoord), missing bytes taken as zero. Raw bits let
// the fuzzer reach every NaN payload, infinity and denormal directly.
namespace {

constexpr uint32_t screen_width = 13;  // odd sizes, so that no power of two hides an off-by-one
constexpr uint32_t screen_height = 9;
constexpr size_t corner_floats = 16;
constexpr size_t corner_bytes = corner_floats * sizeof(float);

// Every triangle of a clipped polygon is drawn as a fan. In exact arithmetic a triangle
// clipped by six planes keeps at most nine corners, but rounded crossing points can make a
// nearly degenerate polygon slightly non-convex, and a plane may then cut it more than twice
// (the fuzzer found ten corners). Each plane at most doubles the corners: 3 * 2^6 = 192.
constexpr uint32_t max_triangles_per_call = 3 * 64 - 2;

// The picture options a preset switches on: edge rule, filter, lines, a turned light.
struct preset_t {
    edge_rule_t edges;
    texture_filter_t filter;
    line_mode_t lines;
    bool turned_light;
};
constexpr preset_t presets[8] = {
    {edge_rule_t::spans, texture_filter_t::nearest, line_mode_t::none, false},
    {edge_rule_t::watertight, texture_filter_t::nearest, line_mode_t::none, false},
    {edge_rule_t::spans, texture_filter_t::linear, line_mode_t::none, false},
    {edge_rule_t::spans, texture_filter_t::trilinear, line_mode_t::none, false},
    {edge_rule_t::spans, texture_filter_t::nearest, line_mode_t::over_fill, false},
    {edge_rule_t::watertight, texture_filter_t::nearest, line_mode_t::only, false},
    {edge_rule_t::watertight, texture_filter_t::trilinear, line_mode_t::over_fill, true},
    {edge_rule_t::watertight, texture_filter_t::linear, line_mode_t::only, true},
};

screen_t& target() {
    static screen_t screen(screen_width, screen_height, 1.5707964f, screen_t::offscreen_tag{});
    return screen;
}

texture_t& pattern() {
    static texture_t* texture = [] {
        auto* t = new texture_t(5, 3, 32);
        for (uint32_t i = 0; i < 5 * 3 * 4; ++i) t->pixels[i] = static_cast<uint8_t>(i * 37 + 11);
        t->build_mips();
        return t;
    }();
    return *texture;
}

vertex_t corner_from(const uint8_t* bytes) {
    float f[corner_floats];
    std::memcpy(f, bytes, corner_bytes);
    return vertex_t(vec4_t(f[0], f[1], f[2], f[3]), vec4_t(f[4], f[5], f[6], f[7]), vec4_t(f[8], f[9], f[10], f[11]),
                    vec4_t(f[12], f[13], f[14], f[15]));
}

enum class entry_t { pipeline, clip, inside };

void draw_once(entry_t entry, uint8_t flags, const preset_t& preset, const vertex_t& a, const vertex_t& b,
               const vertex_t& c) {
    screen_t& screen = target();
    screen.edges = preset.edges;
    screen.filter = preset.filter;
    screen.lines = preset.lines;
    screen.light = preset.turned_light ? light_from_angles(-75.0, 33.0) : default_light;
    screen.clear(255, 0, 0, 16);
    screen.clear_zbuffer();
    screen.triangle_count = 0;
    screen.pixel_count = 0;
    screen.textured = (flags & 1) != 0 ? 1 : 0;
    screen.wireframe = (flags & 2) != 0 ? 1 : 0;
    screen.cull_backfaces = (flags & 4) != 0 ? 1 : 0;
    switch (entry) {
        case entry_t::pipeline:
            draw_triangle(screen, a, b, c, pattern());
            break;
        case entry_t::clip:
            clip_and_draw(screen, a, b, c, pattern());
            break;
        case entry_t::inside:
            draw_if_inside(screen, a, b, c, pattern());
            break;
    }
    // A triangle counts at most once per pass and never covers more pixels than the screen has,
    // and each of its three lines one pixel per column or row.
    const uint32_t triangles = entry == entry_t::clip ? max_triangles_per_call : 1;
    const uint64_t per_triangle = uint64_t{screen_width} * screen_height + 3 * std::max(screen_width, screen_height);
    if (screen.triangle_count > triangles || screen.pixel_count > triangles * per_triangle) {
        std::fprintf(stderr, "entry %d flags %d: %u triangles, %u pixels\n", static_cast<int>(entry), flags,
                     screen.triangle_count, screen.pixel_count);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t selector = data[0];
    uint8_t bytes[3 * corner_bytes] = {};
    std::memcpy(bytes, data + 1, size - 1 < sizeof bytes ? size - 1 : sizeof bytes);
    const vertex_t a = corner_from(bytes);
    const vertex_t b = corner_from(bytes + corner_bytes);
    const vertex_t c = corner_from(bytes + 2 * corner_bytes);

    const uint8_t flags = selector & 7;
    const preset_t& preset = presets[selector >> 5];
    switch ((selector >> 3) & 3) {
        case 0:
            draw_once(entry_t::pipeline, flags, preset, a, b, c);
            break;
        case 1:
            draw_once(entry_t::clip, flags, preset, a, b, c);
            break;
        case 2:
            draw_once(entry_t::inside, flags, preset, a, b, c);
            break;
        default:
            for (uint8_t all = 0; all < 8; ++all) {
                draw_once(entry_t::pipeline, all, preset, a, b, c);
                draw_once(entry_t::clip, all, preset, a, b, c);
                draw_once(entry_t::inside, all, preset, a, b, c);
            }
            break;
    }
    return 0;
}
