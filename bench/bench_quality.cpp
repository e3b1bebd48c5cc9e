// The picture options' costs on the demo frame and a 102,400-triangle sphere, against the demo's picture.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_common.h"
#include "scene/demo_frame.h"
#include "scene/framestats.h"

namespace {

// The options measured, by the benchmark's argument. The textured ones are held against
// textured nearest (argument 8), the rest against the demo's picture (argument 0).
struct option_t {
    const char* name;
    edge_rule_t edges = edge_rule_t::spans;
    uint32_t ssaa = 1;
    int32_t textured = 0;
    texture_filter_t filter = texture_filter_t::nearest;
    line_mode_t lines = line_mode_t::none;
    bool turned_light = false;
};

const option_t options[] = {
    {"demo picture"},
    {"edges watertight", edge_rule_t::watertight},
    {"ssaa 2", edge_rule_t::spans, 2},
    {"ssaa 3", edge_rule_t::spans, 3},
    {"ssaa 4", edge_rule_t::spans, 4},
    {"lines", edge_rule_t::spans, 1, 0, texture_filter_t::nearest, line_mode_t::over_fill},
    {"lines only", edge_rule_t::spans, 1, 0, texture_filter_t::nearest, line_mode_t::only},
    {"light 40,30", edge_rule_t::spans, 1, 0, texture_filter_t::nearest, line_mode_t::none, true},
    {"textured nearest", edge_rule_t::spans, 1, 1},
    {"textured linear", edge_rule_t::spans, 1, 1, texture_filter_t::linear},
    {"textured trilinear", edge_rule_t::spans, 1, 1, texture_filter_t::trilinear},
    {"model look: watertight, ssaa 2, textured linear", edge_rule_t::watertight, 2, 1, texture_filter_t::linear},
};
constexpr int option_count = static_cast<int>(sizeof options / sizeof options[0]);

// An offscreen 800 x 600 screen with the render threads, set to the option (its samples made).
std::unique_ptr<screen_t> option_screen(const option_t& o) {
    auto s = std::make_unique<screen_t>(bench::screen_width, bench::screen_height, 90.0f, screen_t::offscreen_tag{});
    s->set_fov(90.0f);
    s->threads = &bench::render_threads();
    s->edges = o.edges;
    s->textured = o.textured;
    s->filter = o.filter;
    s->lines = o.lines;
    if (o.turned_light) s->light = light_from_angles(40.0, 30.0);
    s->ssaa = o.ssaa;
    s->make_samples();
    return s;
}

// The sphere of bench::add_uv_sphere, turned as the cube turns.
struct sphere_scene_t : scene_t {
    mesh_t mesh{bench::sphere_vertices, bench::sphere_triangles};
    std::unique_ptr<texture_t> texture = bench::patterned_texture(256);
    mat4_t projection;
    mat4_t frame;

    explicit sphere_scene_t(const screen_t& screen) {
        bench::add_uv_sphere(mesh);
        texture->build_mips();
        reproject(screen);
        update();
    }
    void update() override {
        angle = angle > 6.0 * 3.14159265358979 ? 0.01 : angle + 0.01;
        frame = scene_frame(projection, camera, angle);
    }
    void draw(screen_t& screen) const override { mesh.render(screen, frame, *texture); }
    void reproject(const screen_t& screen) override {
        projection = scene_projection(screen.fov, screen.width, screen.height, camera.zoom);
    }
};

// Whole frames of the scene in the option: turn, clears, drawing (and the average), overlay.
template <class Scene>
void run_option_frames(benchmark::State& state, Scene& scene, screen_t& screen, bool overlay) {
    framestats_t stats{};
    frame_look_t look;
    look.overlay = overlay;
    uint64_t pixels = 0;
    uint64_t triangles = 0;
    for (auto _ : state) {
        stats.update();
        benchmark::DoNotOptimize(draw_demo_frame(scene, stats, screen, look));
        pixels += screen.pixel_count;
        triangles += screen.triangle_count;
    }
    state.SetLabel(options[state.range(0)].name);
    bench::report_counts(state, pixels, triangles);
    bench::report_floor_ratio(state);
}

void BM_demo_frame_option(benchmark::State& state) {
    const auto screen = option_screen(options[state.range(0)]);
    bench::cube_scene_t scene(*screen);
    scene.texture->build_mips();
    run_option_frames(state, scene, *screen, true);
}
BENCHMARK(BM_demo_frame_option)->DenseRange(0, option_count - 1)->Unit(benchmark::kMicrosecond);

void BM_sphere_option(benchmark::State& state) {
    const auto screen = option_screen(options[state.range(0)]);
    static sphere_scene_t* sphere = new sphere_scene_t(*screen);
    // Every option from the same turn: how many of a translucent sphere's pixels pass the
    // depth test depends on the order its faces meet the view.
    sphere->angle = 0.0;
    sphere->reproject(*screen);
    run_option_frames(state, *sphere, *screen, false);
}
BENCHMARK(BM_sphere_option)->DenseRange(0, option_count - 1)->Unit(benchmark::kMillisecond);

}  // namespace
