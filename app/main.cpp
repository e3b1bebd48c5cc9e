// The program entry: start-up, the frame loop with its statistics overlay, and shut-down.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/benchmark_report.h"
#include "app/command_line.h"
#include "app/cube_scene.h"
#include "app/demo_frame.h"
#include "app/framestats.h"
#include "app/mode_keys.h"
#include "app/model_scene.h"
#include "app/thread_count.h"
#include "runtime/interrupt.h"
#include "runtime/keyboard.h"
#include "runtime/program.h"
#include "runtime/screen.h"
#include "runtime/screenshot.h"
#include "runtime/thread_pool.h"
#include "runtime/timer.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

// The one render target, constructed before main so the screen exists before anything else.
screen_t screen(800, 600, 90.0f);

namespace {

struct run_result_t {
    uint64_t frames_drawn = 0;
    std::string last_line;  // the last overlay text; empty when no frame was drawn
    std::vector<double> frame_ms;
    uint64_t triangles = 0;
    uint64_t pixels = 0;
};

const char* const scene_texture_file = "tex.bmp";

// The cube's texture: tex.bmp, or the --texture picture.
std::unique_ptr<texture_t> load_scene_texture(const std::string& chosen) {
    auto texture = std::make_unique<texture_t>(32, 32, 32);
    if (!chosen.empty()) {
        std::string why;
        if (!texture->load_picture(chosen.c_str(), &why)) {
            std::fprintf(stderr, "softcube: warning: texture %s: %s; using a blank texture\n", chosen.c_str(),
                         why.c_str());
        }
        return texture;
    }
    if (!texture->load(scene_texture_file)) {
        // The demo never samples the texture, so it goes on with the blank one.
        std::fprintf(stderr, "softcube: warning: could not load texture \"%s\"; using a blank texture\n",
                     scene_texture_file);
    }
    return texture;
}

// A model scene in the window answers the mode keys, names its modes in the title and writes
// the screenshot on F12.
struct model_window_t {
    model_scene_t* scene = nullptr;  // null: the cube, which takes no keys
    std::string name;
    std::string screenshot;  // empty: F12 does nothing
};

// The frame loop. frame_limit 0 runs until Escape or a close request; a benchmark records
// each frame's time from scene update to present and skips the pause.
void run_frames(scene_t& scene, const model_window_t& model, framestats_t& stats, uint64_t frame_limit, bool benchmark,
                run_result_t& run) {
    if (benchmark) run.frame_ms.reserve(frame_limit);
    for (;;) {
        // The window's close button ends the run the same way as Escape.
        if (rt::key_state(rt::scancode_escape) == -1 || rt::window_close_requested()) break;
        if (frame_limit != 0 && run.frames_drawn == frame_limit) break;
        bool screenshot_asked = false;
        if (model.scene != nullptr) {
            if (apply_mode_keys(screen, &model.scene->paused)) {
                rt::set_window_title(model_window_title(model.name, screen, model.scene->paused));
            }
            screenshot_asked = rt::key_pressed(rt::scancode_f12) && !model.screenshot.empty();
        }
        stats.update();
        const long double started = benchmark ? rt::timer() : 0.0L;
        rt::screen_lock();
        run.last_line = draw_demo_frame(scene, stats, screen);
        rt::screen_unlock(-1, -1);
        if (screenshot_asked) {
            std::string why;
            if (rt::save_screenshot(model.screenshot, &why)) {
                std::printf("frame %llu written to %s\n", static_cast<unsigned long long>(run.frames_drawn + 1),
                            model.screenshot.c_str());
                std::fflush(stdout);
            } else {
                std::fprintf(stderr, "softcube: %s\n", why.c_str());
            }
        }
        if (benchmark) {
            run.frame_ms.push_back(static_cast<double>((rt::timer() - started) * 1000.0L));
            run.triangles += screen.triangle_count;
            run.pixels += screen.pixel_count;
        } else {
            rt::sleep_ms(1);
        }
        ++run.frames_drawn;
        // An interrupt ends the run after the frame it came in, with its summary and picture.
        if (rt::interrupt_signal() != 0) break;
    }
}

[[noreturn]] void finish(int status) {
    rt::screen_close(0);
    rt::end_program(status);
}

}  // namespace

int main(int argc, char** argv) {
    rt::program_init(argc, argv);

    const parsed_command_line_t parsed = parse_command_line(argc, argv);
    if (!parsed.ok) {
        std::fprintf(stderr, "softcube: %s\n%s", parsed.error.c_str(), usage_text());
        finish(2);
    }
    const options_t& options = parsed.options;
    if (options.help) {
        std::fputs(help_text(), stdout);
        finish(0);
    }
    const thread_choice_t threads =
        choose_thread_count(options.threads, std::getenv("SOFTCUBE_THREADS"), rt::online_cores());
    if (!threads.ok) {
        std::fprintf(stderr, "softcube: %s\n%s", threads.error.c_str(), usage_text());
        finish(2);
    }
    std::string why;
    if (!options.screenshot.empty() && !rt::picture_path_usable(options.screenshot, &why)) {
        std::fprintf(stderr, "softcube: %s\n", why.c_str());
        finish(1);
    }

    // The model is loaded before any window opens, so a bad file ends the program at once.
    screen.set_fov(90.0f);
    std::unique_ptr<scene_t> scene;
    model_window_t model;
    bool texture_ready = false;
    if (!options.model.empty()) {
        auto model_scene =
            load_model_scene(screen, options.model, options.texture, options.opacity, &texture_ready, &why);
        if (model_scene == nullptr) {
            std::fprintf(stderr, "softcube: %s\n", why.c_str());
            finish(1);
        }
        model.scene = model_scene.get();
        model.name = options.model.substr(options.model.find_last_of('/') + 1);
        model.screenshot = options.screenshot;
        scene = std::move(model_scene);
    } else {
        scene = std::make_unique<cube_scene_t>(screen, load_scene_texture(options.texture));
    }
    screen.textured = options.textured || texture_ready ? 1 : 0;
    screen.wireframe = options.wireframe ? 1 : 0;
    screen.cull_backfaces = options.cull ? 1 : 0;
    screen.clip_triangles = options.clip ? 1 : 0;
    if (model.scene != nullptr) rt::set_window_title(model_window_title(model.name, screen, false));

    const bool benchmark = options.benchmark != 0;
    bool offscreen = options.headless || benchmark;
    bool fell_back = false;
    uint64_t frame_limit = benchmark ? options.benchmark : options.frames;
    if (!offscreen && !rt::enable_window(&why)) {
        offscreen = true;
        fell_back = true;
    }
    if (offscreen && frame_limit == 0) frame_limit = default_offscreen_frames;
    if (fell_back) {
        std::fprintf(stderr, "softcube: no window (%s); rendering %llu frames offscreen instead\n", why.c_str(),
                     static_cast<unsigned long long>(frame_limit));
    }

    // The workers start here, once, and sleep between frames; they are stopped before the end.
    auto pool = std::make_unique<rt::thread_pool_t>(threads.threads);
    screen.threads = pool.get();
    const auto stop_workers = [&pool] {
        screen.threads = nullptr;
        pool.reset();
    };

    framestats_t stats{};
    run_result_t run;
    rt::catch_interrupts();
    run_frames(*scene, model, stats, frame_limit, benchmark, run);
    const int interrupted = rt::interrupt_signal();

    if (benchmark) {
        benchmark_summary_t summary = summarise_benchmark(run.frame_ms, run.triangles, run.pixels);
        summary.threads = pool->size();
        std::printf("%s\n%s\n", benchmark_human_line(summary).c_str(), benchmark_machine_line(summary).c_str());
    } else if (offscreen && run.frames_drawn != 0) {
        std::printf("%s\n", run.last_line.c_str());
    }

    stop_workers();

    std::string picture = options.screenshot;
    if (picture.empty() && fell_back) picture = rt::default_screenshot_path();
    if (!picture.empty()) {
        if (!rt::save_screenshot(picture, &why)) {
            std::fprintf(stderr, "softcube: %s\n", why.c_str());
            finish(1);
        }
        if (fell_back) std::printf("last frame written to %s\n", rt::absolute_path(picture).c_str());
    }
    finish(interrupted != 0 ? rt::interrupted_exit_status(interrupted) : 0);
}
