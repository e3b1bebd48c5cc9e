// libFuzzer target: arbitrary triangles (any float, NaN and infinities) through draw_triangle, clip_and_draw and
// draw_if_inside, on a screen of the input's size with the span path and picture options the input picks.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "raster/clip.h"
#include "raster/pipeline.h"
#include "raster/span_fill.h"
#include "surfaces/light.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

// Input layout: the first byte picks the mode flags (bits 0..2: textured, wireframe,
// cull_backfaces), the entry point (bits 3..4: 0 draw_triangle, 1 clip_and_draw,
// 2 draw_if_inside, 3 all three with all eight flag combinations) and the picture options
// (bits 5..7, one of the presets below); the next 192 bytes are the three corners' 48 floats
// as raw bits (position, colour, normal, texcoord), missing bytes taken as zero. Raw bits let
// the fuzzer reach every NaN payload, infinity and denormal directly. Then, optionally: one
// byte picks the span path (its value modulo 4: portable, SSE2, AVX2, AVX-512; a path the
// processor lacks falls back to the widest it has), one the screen's width (1 + the byte:
// 1 .. 256) and one its height (1 + the byte's low six bits: 1 .. 64), so rows of every
// length the span loops split differently (8, 16, 24 and beyond 128 pixels) occur. Without
// them: the widest path on 13 x 9.
// SOFTCUBE_FUZZ_SPAN_PATH=portable|sse2|avx2|avx512 forces one path for a whole run.
namespace {

constexpr uint32_t default_width = 13;  // odd sizes, so that no power of two hides an off-by-one
constexpr uint32_t default_height = 9;
constexpr size_t corner_floats = 16;
constexpr size_t corner_bytes = corner_floats * sizeof(float);
constexpr std::array<span_isa_t, 4> span_paths = {span_isa_t::portable, span_isa_t::sse2, span_isa_t::avx2,
                                                  span_isa_t::avx512};

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

// The screen of the size asked for; made anew only when the size changes.
screen_t& target(uint32_t width, uint32_t height) {
    static std::unique_ptr<screen_t> screen;
    if (screen == nullptr || screen->width != width || screen->height != height) {
        screen.reset();
        screen = std::make_unique<screen_t>(width, height, 1.5707964f, screen_t::offscreen_tag{});
    }
    return *screen;
}

// The path named by SOFTCUBE_FUZZ_SPAN_PATH, or best when none is.
span_isa_t forced_path() {
    static const span_isa_t forced = [] {
        const char* name = std::getenv("SOFTCUBE_FUZZ_SPAN_PATH");
        for (const span_isa_t path : span_paths) {
            if (name != nullptr && std::string_view(name) == span_isa_name(path)) return path;
        }
        return span_isa_t::best;
    }();
    return forced;
}

// Executions per span path actually taken, printed when the fuzzer ends.
std::array<uint64_t, 5> runs_per_path{};
void print_runs_per_path() {
    std::fprintf(stderr, "span path runs:");
    for (const span_isa_t path : span_paths) {
        std::fprintf(stderr, " %s %llu", span_isa_name(path),
                     static_cast<unsigned long long>(runs_per_path[static_cast<size_t>(path)]));
    }
    std::fprintf(stderr, "\n");
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

void draw_once(screen_t& screen, entry_t entry, uint8_t flags, const preset_t& preset, const vertex_t& a,
               const vertex_t& b, const vertex_t& c) {
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
    const uint64_t per_triangle =
        uint64_t{screen.width} * screen.height + 3 * uint64_t{std::max(screen.width, screen.height)};
    if (screen.triangle_count > triangles || screen.pixel_count > triangles * per_triangle) {
        std::fprintf(stderr, "entry %d flags %d: %u triangles, %u pixels\n", static_cast<int>(entry), flags,
                     screen.triangle_count, screen.pixel_count);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(print_runs_per_path);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t selector = data[0];
    uint8_t bytes[3 * corner_bytes] = {};
    std::memcpy(bytes, data + 1, size - 1 < sizeof bytes ? size - 1 : sizeof bytes);
    const vertex_t a = corner_from(bytes);
    const vertex_t b = corner_from(bytes + corner_bytes);
    const vertex_t c = corner_from(bytes + 2 * corner_bytes);

    const size_t options_at = 1 + sizeof bytes;
    const auto option = [&](size_t k) { return size > options_at + k ? int{data[options_at + k]} : -1; };
    span_isa_t path = option(0) < 0 ? span_isa_t::best : span_paths[static_cast<size_t>(option(0)) % 4];
    if (forced_path() != span_isa_t::best) path = forced_path();
    ++runs_per_path[static_cast<size_t>(set_span_isa(path))];
    const uint32_t width = option(1) < 0 ? default_width : 1 + static_cast<uint32_t>(option(1));
    const uint32_t height = option(2) < 0 ? default_height : 1 + (static_cast<uint32_t>(option(2)) & 63);
    screen_t& screen = target(width, height);

    const uint8_t flags = selector & 7;
    const preset_t& preset = presets[selector >> 5];
    switch ((selector >> 3) & 3) {
        case 0:
            draw_once(screen, entry_t::pipeline, flags, preset, a, b, c);
            break;
        case 1:
            draw_once(screen, entry_t::clip, flags, preset, a, b, c);
            break;
        case 2:
            draw_once(screen, entry_t::inside, flags, preset, a, b, c);
            break;
        default:
            for (uint8_t all = 0; all < 8; ++all) {
                draw_once(screen, entry_t::pipeline, all, preset, a, b, c);
                draw_once(screen, entry_t::clip, all, preset, a, b, c);
                draw_once(screen, entry_t::inside, all, preset, a, b, c);
            }
            break;
    }
    return 0;
}
