// Benchmarks of one demo frame and of its parts, next to the floor they are measured against.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/bench_common.h"
#include "scene/demo_frame.h"
#include "scene/framestats.h"
#include "scene/overlay.h"

namespace {

// The demo draws into the runtime's screen (the overlay prints there), so the frame
// benchmarks do too; it is opened once and lives for the whole run.
screen_t& demo_screen() {
    static screen_t* screen = [] {
        auto* s = new screen_t(bench::screen_width, bench::screen_height, 90.0f);
        s->set_fov(90.0f);
        s->threads = &bench::render_threads();
        return s;
    }();
    return *screen;
}

// The whole frame as the program runs it, without the present and the 1 ms pause: scene
// update, colour clear, depth clear, the cube, the overlay.
void BM_demo_frame(benchmark::State& state) {
    screen_t& screen = demo_screen();
    bench::cube_scene_t scene(screen);
    framestats_t stats{};
    uint64_t pixels = 0;
    uint64_t triangles = 0;
    for (auto _ : state) {
        stats.update();
        benchmark::DoNotOptimize(draw_demo_frame(scene, stats, screen));
        pixels += screen.pixel_count;
        triangles += screen.triangle_count;
    }
    bench::report_counts(state, pixels, triangles);
    bench::report_floor_ratio(state);
}
BENCHMARK(BM_demo_frame)->Unit(benchmark::kMicrosecond);

void BM_colour_clear(benchmark::State& state) {
    screen_t& screen = demo_screen();
    for (auto _ : state) {
        screen.clear(255, 0, 0, 16);
        benchmark::ClobberMemory();
    }
    bench::report_floor_ratio(state);
}
BENCHMARK(BM_colour_clear)->Unit(benchmark::kMicrosecond);

void BM_depth_clear(benchmark::State& state) {
    screen_t& screen = demo_screen();
    for (auto _ : state) {
        screen.clear_zbuffer();
        benchmark::ClobberMemory();
    }
    bench::report_floor_ratio(state);
}
BENCHMARK(BM_depth_clear)->Unit(benchmark::kMicrosecond);

// What the two clears are held against: a memset of as many bytes as each of them writes
// (800 x 600 x 4), in a buffer of its own.
void BM_memset_same_bytes(benchmark::State& state) {
    std::vector<uint8_t> bytes(size_t{bench::screen_width} * bench::screen_height * 4);
    for (auto _ : state) {
        std::memset(bytes.data(), 16, bytes.size());
        benchmark::ClobberMemory();
    }
    bench::report_floor_ratio(state);
}
BENCHMARK(BM_memset_same_bytes)->Unit(benchmark::kMicrosecond);

// The cube's 12 triangles alone: the clears run untimed before each frame so every frame
// does the demo's depth-tested work.
void BM_cube_triangles(benchmark::State& state) {
    screen_t& screen = demo_screen();
    bench::cube_scene_t scene(screen);
    uint64_t pixels = 0;
    uint64_t triangles = 0;
    for (auto _ : state) {
        state.PauseTiming();
        start_demo_frame(scene, screen);
        state.ResumeTiming();
        scene.draw(screen);
        pixels += screen.pixel_count;
        triangles += screen.triangle_count;
    }
    bench::report_counts(state, pixels, triangles);
    bench::report_floor_ratio(state);
}
BENCHMARK(BM_cube_triangles)->Unit(benchmark::kMicrosecond);

void BM_overlay_print(benchmark::State& state) {
    screen_t& screen = demo_screen();
    screen.clear(255, 0, 0, 16);
    framestats_t stats{};
    stats.update_at(1.0L);
    stats.update_at(1.0004L);
    screen.triangle_count = 12;
    screen.pixel_count = 235000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(print_overlay(stats, screen));
    }
    bench::report_floor_ratio(state);
}
BENCHMARK(BM_overlay_print)->Unit(benchmark::kMicrosecond);

// The floor itself, timed by the framework like the others (x_floor near 1).
void BM_floor(benchmark::State& state) {
    std::vector<uint8_t> colour(size_t{bench::screen_width} * bench::screen_height * 4);
    std::vector<float> depth(size_t{bench::screen_width} * bench::screen_height);
    for (auto _ : state) {
        bench::floor_work(colour.data(), depth.data(), bench::floor_pixels);
    }
    state.counters["pixels/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * bench::floor_pixels, benchmark::Counter::kIsRate);
    bench::report_floor_ratio(state);
}
BENCHMARK(BM_floor)->Unit(benchmark::kMicrosecond);

}  // namespace
