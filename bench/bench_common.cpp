// The cube scene, the floor workload and the counter helpers shared by the benchmarks.
#include "bench/bench_common.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/thread_count.h"
#include "raster/span_fill.h"

namespace bench {

namespace {

// The span path in use (SOFTCUBE_ISA's choice, else the widest) heads the report, next to the
// machine description.
const bool span_path_reported = [] {
    benchmark::AddCustomContext("isa", span_isa_name(span_isa()));
    benchmark::AddCustomContext("threads", std::to_string(render_threads().size()));
    return true;
}();

}  // namespace

base::thread_pool_t& render_threads() {
    static base::thread_pool_t pool([] {
        const thread_choice_t choice = choose_thread_count(0, std::getenv("SOFTCUBE_THREADS"), base::online_cores());
        if (!choice.ok) {
            std::fprintf(stderr, "softcube_bench: %s\n", choice.error.c_str());
            std::exit(2);
        }
        return choice.threads;
    }());
    return pool;
}

cube_scene_t::cube_scene_t(const screen_t& screen) : ::cube_scene_t(screen, patterned_texture(32)) {
    wrap_angle = 6.0 * 3.14159265358979;
    update();
}

std::unique_ptr<texture_t> patterned_texture(uint32_t side) {
    auto texture = std::make_unique<texture_t>(side, side, 32);
    uint8_t* p = texture->pixels;
    for (uint32_t y = 0; y < texture->height; ++y) {
        for (uint32_t x = 0; x < texture->width; ++x, p += 4) {
            p[0] = static_cast<uint8_t>(x * 7 + y);
            p[1] = static_cast<uint8_t>(y * 5 + x * 3);
            p[2] = static_cast<uint8_t>(((x / 4 + y / 4) & 1) != 0 ? 230 : 40);
            p[3] = static_cast<uint8_t>((x * 8) & 0xFF);
        }
    }
    return texture;
}

void floor_work(uint8_t* colour, float* depth, uint32_t pixel_count) {
    std::memset(colour, 0, size_t{screen_width} * screen_height * 4);
    std::fill(depth, depth + size_t{screen_width} * screen_height, 1.0e37f);
    auto* pixels = reinterpret_cast<uint32_t*>(colour);
    const uint32_t n = std::min(pixel_count, screen_width * screen_height);
    float z = 0.5f;
    for (uint32_t i = 0; i < n; ++i) {
        const bool pass = z < depth[i];
        depth[i] = pass ? z : depth[i];
        pixels[i] = pass ? (pixels[i] | 0xFF102030u) : pixels[i];
        z += 1.0e-7f;
    }
    benchmark::DoNotOptimize(colour);
    benchmark::DoNotOptimize(depth);
}

double floor_seconds() {
    static const double seconds = [] {
        std::vector<uint8_t> colour(size_t{screen_width} * screen_height * 4);
        std::vector<float> depth(size_t{screen_width} * screen_height);
        std::vector<double> runs;
        for (int i = 0; i < 101; ++i) {
            const auto start = std::chrono::steady_clock::now();
            floor_work(colour.data(), depth.data(), floor_pixels);
            benchmark::ClobberMemory();
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            runs.push_back(took.count());
        }
        // The best of the runs: on a shared machine the others carry other programs' time.
        return *std::min_element(runs.begin(), runs.end());
    }();
    return seconds;
}

void report_floor_ratio(benchmark::State& state) {
    // Rate of "floors per second of this benchmark", inverted: time per iteration / floor.
    state.counters["x_floor"] = benchmark::Counter(static_cast<double>(state.iterations()) * floor_seconds(),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void report_counts(benchmark::State& state, uint64_t pixels, uint64_t triangles) {
    const auto p = static_cast<double>(pixels);
    const auto t = static_cast<double>(triangles);
    state.counters["pixels/s"] = benchmark::Counter(p, benchmark::Counter::kIsRate);
    state.counters["tris/s"] = benchmark::Counter(t, benchmark::Counter::kIsRate);
    state.counters["px/iter"] = benchmark::Counter(p, benchmark::Counter::kAvgIterations);
}

void run_mesh_frames(benchmark::State& state, const mesh_t& mesh) {
    screen_t screen(screen_width, screen_height, 90.0f, screen_t::offscreen_tag{});
    screen.set_fov(90.0f);
    screen.threads = &render_threads();
    cube_scene_t camera(screen);  // the cube's projection and turning camera
    uint64_t pixels = 0;
    uint64_t triangles = 0;
    for (auto _ : state) {
        camera.update();
        screen.clear_frame(255, 0, 0, 16);
        mesh.render(screen, camera.frame, *camera.texture);
        pixels += screen.pixel_count;
        triangles += screen.triangle_count;
    }
    report_counts(state, pixels, triangles);
    report_floor_ratio(state);
}

void add_uv_sphere(mesh_t& mesh) {
    const double pi = 3.14159265358979323846;
    for (int i = 0; i <= sphere_stacks; ++i) {
        const double theta = pi * i / sphere_stacks;
        for (int j = 0; j <= sphere_slices; ++j) {
            const double phi = 2.0 * pi * j / sphere_slices;
            const auto x = static_cast<float>(std::sin(theta) * std::cos(phi));
            const auto y = static_cast<float>(std::cos(theta));
            const auto z = static_cast<float>(std::sin(theta) * std::sin(phi));
            const vec4_t colour(0.5f + 0.5f * x, 0.5f + 0.5f * y, 0.5f + 0.5f * z, 0.2f + 0.6f * (0.5f + 0.5f * y));
            mesh.add_vertex(
                vertex_t(vec4_t(x, y, z, 1.0f), colour, vec4_t(-x, -y, -z, 0.0f),
                         vec4_t(static_cast<float>(j) / sphere_slices, static_cast<float>(i) / sphere_stacks, 0, 0)));
        }
    }
    for (int i = 0; i < sphere_stacks; ++i) {
        for (int j = 0; j < sphere_slices; ++j) {
            const int a = i * (sphere_slices + 1) + j;
            const int b = a + sphere_slices + 1;
            mesh.add_triangle(a, b, a + 1);
            mesh.add_triangle(a + 1, b, b + 1);
        }
    }
}

}  // namespace bench
