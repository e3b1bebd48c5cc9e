// Fill-rate benchmarks: a triangle-size sweep, each drawing mode, and a sphere of over 100,000 triangles.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/bench_common.h"
#include "raster/frame_renderer.h"
#include "raster/pipeline.h"

namespace {

struct clip_triangle_t {
    vertex_t corner[3];
};

// Clip-space coordinates (w = 1) of a screen position on the 800 x 600 target.
vec4_t clip_position(float sx, float sy) { return {(sx - 399.5f) / 400.0f, (299.5f - sy) / 300.0f, 0.0f, 1.0f}; }

// Right triangles with legs of `size` pixels, wholly on the screen, Gouraud coloured with
// alphas below 1 and varied normals. Every other one has its corners in the opposite
// order, so with culling on half of them are back faces.
std::vector<clip_triangle_t> make_triangles(float size, size_t count, bool textured) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<clip_triangle_t> out;
    for (size_t i = 0; i < count; ++i) {
        const float x0 = unit(rng) * (799.0f - size);
        const float y0 = unit(rng) * (599.0f - size);
        const vec4_t p[3] = {clip_position(x0, y0), clip_position(x0 + size, y0), clip_position(x0, y0 + size)};
        clip_triangle_t t;
        for (int k = 0; k < 3; ++k) {
            const vec4_t colour(unit(rng), unit(rng), unit(rng), 0.1f + 0.6f * unit(rng));
            const vec4_t normal(unit(rng) - 0.5f, unit(rng) - 0.5f, unit(rng), 0.0f);
            const vec4_t texcoord = textured ? vec4_t(unit(rng) * 2.0f, unit(rng) * 2.0f, 0.0f, 0.0f) : vec4_t();
            t.corner[k] = vertex_t(p[k], colour, normal, texcoord);
        }
        if (i % 2 == 1) std::swap(t.corner[1], t.corner[2]);
        out.push_back(t);
    }
    return out;
}

// Draws the triangles over and over, `batch` of them per iteration, each one nearer than the
// last so that every pixel passes the depth test and is blended; when the depth range is used
// up the depth buffer is cleared (untimed) and the walk starts again. With `threads`, each
// batch goes to a frame renderer drawing with them, as an application hands over a draw call,
// and is drawn when it finishes; without, each triangle through the per-triangle entry point.
void draw_triangles(benchmark::State& state, screen_t& screen, const std::vector<clip_triangle_t>& triangles,
                    const texture_t& texture, size_t batch, base::thread_pool_t* threads) {
    constexpr float z_top = 0.99f;
    constexpr float z_step = 1.0f / 1048576.0f;
    constexpr uint32_t z_levels = 1900000;
    screen.clear(255, 0, 0, 16);
    screen.clear_zbuffer();
    frame_space_t space;  // the renderer's arrays, kept from batch to batch like a mesh's
    uint64_t pixels = 0;
    uint64_t triangle_total = 0;
    uint32_t level = 0;
    size_t next = 0;
    const auto next_triangle = [&] {
        clip_triangle_t t = triangles[next];
        next = next + 1 == triangles.size() ? 0 : next + 1;
        const float z = z_top - static_cast<float>(level++) * z_step;
        for (vertex_t& c : t.corner) c.position.z = z;
        return t;
    };
    for (auto _ : state) {
        if (level + batch > z_levels) {
            state.PauseTiming();
            pixels += screen.pixel_count;
            triangle_total += screen.triangle_count;
            screen.clear(255, 0, 0, 16);
            screen.clear_zbuffer();
            level = 0;
            state.ResumeTiming();
        }
        if (threads != nullptr) {
            frame_renderer_t renderer(screen, screen, screen, space, {threads});
            for (size_t i = 0; i < batch; ++i) {
                const clip_triangle_t t = next_triangle();
                renderer.draw_triangle(t.corner[0], t.corner[1], t.corner[2], texture);
            }
            renderer.finish();
        } else {
            for (size_t i = 0; i < batch; ++i) {
                const clip_triangle_t t = next_triangle();
                draw_triangle(screen, t.corner[0], t.corner[1], t.corner[2], texture);
            }
        }
    }
    pixels += screen.pixel_count;
    triangle_total += screen.triangle_count;
    bench::report_counts(state, pixels, triangle_total);
    state.counters["px/tri"] = benchmark::Counter(
        triangle_total == 0 ? 0.0 : static_cast<double>(pixels) / static_cast<double>(triangle_total));
}

// Vertex-colour triangles of 2, 10, 50, 100 and 500 pixels across.
void BM_fill_size(benchmark::State& state) {
    screen_t screen(bench::screen_width, bench::screen_height, 90.0f, screen_t::offscreen_tag{});
    const auto texture = bench::patterned_texture(32);
    const auto triangles = make_triangles(static_cast<float>(state.range(0)), 1024, false);
    draw_triangles(state, screen, triangles, *texture, 16, nullptr);
}
BENCHMARK(BM_fill_size)->Arg(2)->Arg(10)->Arg(50)->Arg(100)->Arg(500)->Unit(benchmark::kMicrosecond);

// 100-pixel triangles in each mode: 0 vertex colour, 1 textured, 2 wireframe, 3 culling
// on (half of the triangles are back faces); all 1,024 of them handed to the render threads
// as one draw call per iteration.
void BM_mode(benchmark::State& state) {
    screen_t screen(bench::screen_width, bench::screen_height, 90.0f, screen_t::offscreen_tag{});
    const auto texture = bench::patterned_texture(64);
    const int mode = static_cast<int>(state.range(0));
    screen.textured = mode == 1 ? 1 : 0;
    screen.wireframe = mode == 2 ? 1 : 0;
    screen.cull_backfaces = mode == 3 ? 1 : 0;
    static const char* const names[] = {"vertex_colour", "textured", "wireframe", "culling"};
    state.SetLabel(names[mode]);
    const auto triangles = make_triangles(100.0f, 1024, mode == 1);
    draw_triangles(state, screen, triangles, *texture, triangles.size(), &bench::render_threads());
}
BENCHMARK(BM_mode)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The sphere of bench::add_uv_sphere.
struct sphere_t {
    mesh_t mesh{bench::sphere_vertices, bench::sphere_triangles};
    sphere_t() { bench::add_uv_sphere(mesh); }
};

void BM_sphere(benchmark::State& state) {
    static const sphere_t sphere;
    bench::run_mesh_frames(state, sphere.mesh);
}
BENCHMARK(BM_sphere)->Unit(benchmark::kMillisecond);

}  // namespace
