// The clipping entry points against the direct pipeline, on triangles inside the view volume and across its planes.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/bench_common.h"
#include "raster/clip.h"
#include "raster/pipeline.h"

namespace {

struct clip_case_t {
    vertex_t corner[3];
};

// Clip-space triangles of about 40 pixels; with `crossing` their corners reach up to twice
// the view volume on every side (and some in front of the near plane), so most are cut.
std::vector<clip_case_t> make_cases(bool crossing) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<clip_case_t> out;
    for (int i = 0; i < 512; ++i) {
        const float reach = crossing ? 1.9f : 0.85f;
        const float cx = (unit(rng) * 2.0f - 1.0f) * reach;
        const float cy = (unit(rng) * 2.0f - 1.0f) * reach;
        clip_case_t c;
        for (int k = 0; k < 3; ++k) {
            const float x = cx + (unit(rng) - 0.5f) * 0.2f;
            const float y = cy + (unit(rng) - 0.5f) * 0.2f;
            const float z = crossing ? unit(rng) * 2.4f - 1.2f : unit(rng) * 1.6f - 0.8f;
            c.corner[k] = vertex_t(vec4_t(x, y, z, 1.0f), vec4_t(unit(rng), unit(rng), unit(rng), 0.5f),
                                   vec4_t(0.0f, 0.0f, 1.0f, 0.0f));
        }
        out.push_back(c);
    }
    return out;
}

// 0: draw_triangle (no clipping), 1: clip_and_draw, 2: draw_if_inside.
template <int entry>
void BM_clip(benchmark::State& state) {
    screen_t screen(bench::screen_width, bench::screen_height, 90.0f, screen_t::offscreen_tag{});
    const auto texture = bench::patterned_texture(32);
    const bool crossing = state.range(0) != 0;
    state.SetLabel(crossing ? "crossing the planes" : "inside the volume");
    const auto cases = make_cases(crossing);
    uint64_t pixels = 0;
    uint64_t triangles = 0;
    for (auto _ : state) {
        state.PauseTiming();
        screen.clear(255, 0, 0, 16);
        screen.clear_zbuffer();
        state.ResumeTiming();
        for (const clip_case_t& c : cases) {
            if constexpr (entry == 0) draw_triangle(screen, c.corner[0], c.corner[1], c.corner[2], *texture);
            if constexpr (entry == 1) clip_and_draw(screen, c.corner[0], c.corner[1], c.corner[2], *texture);
            if constexpr (entry == 2) draw_if_inside(screen, c.corner[0], c.corner[1], c.corner[2], *texture);
        }
        pixels += screen.pixel_count;
        triangles += screen.triangle_count;
    }
    bench::report_counts(state, pixels, triangles);
    state.counters["input tris/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(cases.size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_clip<0>)->Name("BM_clip/direct_pipeline")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_clip<1>)->Name("BM_clip/clip_and_draw")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_clip<2>)->Name("BM_clip/draw_if_inside")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
