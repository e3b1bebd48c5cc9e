// The program entry: the command line, start-up, one run of frames (or a batch, or a thumbnail) and shut-down.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/batch.h"
#include "app/benchmark_report.h"
#include "app/command_line.h"
#include "app/picture_quality.h"
#include "app/thread_count.h"
#include "base/graphics_screen.h"
#include "base/thread_pool.h"
#include "model/texture_files.h"
#include "raster/span_fill.h"
#include "runtime/interrupt.h"
#include "runtime/program.h"
#include "runtime/screenshot.h"
#include "runtime/terminal.h"
#include "runtime/timer.h"
#include "scene/cube_scene.h"
#include "scene/model_scene.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"
#include "viewer/frame_loop.h"
#include "viewer/frame_picture.h"
#include "viewer/output_names.h"
#include "viewer/picture_target.h"
#include "window/window.h"

#ifndef SOFTCUBE_VERSION
#error "the build defines SOFTCUBE_VERSION"
#endif

// The one render target, constructed before main so the screen exists before anything else.
screen_t screen(800, 600, 90.0f);

namespace {

const char* const scene_texture_file = "tex.bmp";

// The cube's texture: tex.bmp, or the --texture picture.
std::unique_ptr<texture_t> load_scene_texture(const std::string& chosen) {
    auto texture = std::make_unique<texture_t>(32, 32, 32);
    if (!chosen.empty()) {
        std::string why;
        if (!load_texture_picture(*texture, chosen.c_str(), &why)) {
            std::fprintf(stderr, "softcube: warning: texture %s: %s; using a blank texture\n", chosen.c_str(),
                         why.c_str());
        }
        return texture;
    }
    if (!load_texture(*texture, scene_texture_file)) {
        // The demo never samples the texture, so it goes on with the blank one.
        std::fprintf(stderr, "softcube: warning: could not load texture \"%s\"; using a blank texture\n",
                     scene_texture_file);
    }
    return texture;
}

[[noreturn]] void finish(int status) {
    base::screen_close(0);
    rt::end_program(status);
}

[[noreturn]] void usage_error(const std::string& error) {
    std::fprintf(stderr, "softcube: %s %s\n", error.c_str(), help_hint);
    finish(2);
}

// How many frames the run draws: 0 runs until Escape.
uint64_t frame_limit_of(const options_t& options, bool offscreen) {
    if (options.benchmark != 0) return options.benchmark;
    if (options.turntable != 0) return options.turntable;
    if (options.frames != 0) return options.frames;
    if (!offscreen) return 0;
    return options.frame_given ? 1 : default_offscreen_frames;
}

}  // namespace

int main(int argc, char** argv) {
    rt::program_init(argc, argv);

    const parsed_command_line_t parsed = parse_command_line(argc, argv);
    if (!parsed.ok) usage_error(parsed.error);
    const options_t& options = parsed.options;
    if (options.help) {
        std::fputs(help_text(), stdout);
        finish(0);
    }
    if (options.version) {
        std::printf("softcube %s\n", SOFTCUBE_VERSION);
        finish(0);
    }
    const thread_choice_t threads =
        choose_thread_count(options.threads, std::getenv("SOFTCUBE_THREADS"), base::online_cores());
    if (!threads.ok) usage_error(threads.error);
    if (options.thumbnail_size != 0) finish(run_thumbnail(options, threads.threads));
    if (!options.output_dir.empty()) finish(run_batch(options, threads.threads));
    // The workers start here, once, and sleep between frames; they are stopped before the end.
    auto pool = std::make_unique<base::thread_pool_t>(threads.threads);

    const bool benchmark = options.benchmark != 0;
    const std::string model_path = options.models.empty() ? "" : options.models.front();
    const std::string model_file = model_path.substr(model_path.find_last_of('/') + 1);
    const bool picture_sequence = names_frames(options.screenshot);
    std::string why;
    if (!options.screenshot.empty()) {
        const std::string first_name = expand_name(options.screenshot, options.first_frame,
                                                   model_path.empty() ? "cube" : model_name_of(model_path));
        if (!rt::picture_path_usable(first_name, &why)) {
            std::fprintf(stderr, "softcube: %s\n", why.c_str());
            finish(1);
        }
    }

    const picture_quality_t quality = picture_quality_of(options, false, options.width, options.height);
    screen_t* target = &screen;
    std::unique_ptr<screen_t> sized;
    if (options.width != screen.width || options.height != screen.height) {
        sized =
            open_sized_screen(options.width, options.height, options.background.transparent, &why, false, quality.ssaa);
        if (sized == nullptr) {
            std::fprintf(stderr, "softcube: %s\n", why.c_str());
            finish(1);
        }
        target = sized.get();
    } else if (!supersample_screen(screen, quality.ssaa, options.background.transparent, &why)) {
        std::fprintf(stderr, "softcube: %s\n", why.c_str());
        finish(1);
    }
    target->set_fov(90.0f);

    // The model is loaded before any window opens, so a bad file ends the program at once.
    const long double load_started = rt::timer();
    std::unique_ptr<scene_t> scene;
    bool texture_ready = false;
    if (!model_path.empty()) {
        scene = load_model_scene(*target, model_path, {options.opacity, options.texture}, &texture_ready, &why);
        if (scene == nullptr) {
            std::fprintf(stderr, "softcube: %s\n", why.c_str());
            finish(1);
        }
    } else {
        scene = std::make_unique<cube_scene_t>(*target, load_scene_texture(options.texture));
    }
    const double load_ms = static_cast<double>((rt::timer() - load_started) * 1000.0L);
    scene->camera = options.camera;
    scene->reproject(*target);
    if (options.turntable != 0) {
        // One turn of the camera around a scene that holds still at the frame's turn.
        scene->hold_at_frame(options.frame_given ? options.first_frame : 0);
    } else {
        scene->start_at_frame(options.first_frame);
    }
    target->textured = options.textured || texture_ready ? 1 : 0;
    target->wireframe = options.wireframe ? 1 : 0;
    target->cull_backfaces = options.cull ? 1 : 0;
    target->clip_triangles = options.clip ? 1 : 0;
    quality.apply_to(*target);

    frame_run_t run;
    run.scene = scene.get();
    run.screen = target;
    run.look = {options.background, options.overlay};
    run.first_frame = options.turntable != 0 ? 1 : options.first_frame;
    run.benchmark = benchmark;
    run.turntable = options.turntable;
    run.model_file = model_file;
    run.f12_name = options.screenshot;
    if (picture_sequence) {
        run.picture_names = options.screenshot;
        run.every = options.every != 0 ? options.every : 1;
    }

    bool offscreen = options.headless || benchmark;
    bool fell_back = false;
    if (!offscreen && !rt::enable_window(&why)) {
        offscreen = true;
        fell_back = true;
    }
    run.window = !offscreen;
    run.frame_limit = frame_limit_of(options, offscreen);
    run.progress = offscreen;
    if (fell_back) {
        std::fprintf(stderr, "softcube: no window (%s); rendering %llu frames offscreen instead\n", why.c_str(),
                     static_cast<unsigned long long>(run.frame_limit));
    }
    if (offscreen && !model_path.empty() && rt::stderr_is_terminal()) {
        std::fprintf(stderr, "softcube: %s loaded in %.1f ms\n", model_file.c_str(), load_ms);
    }

    target->threads = pool.get();
    const auto stop_workers = [&] {
        run.screen->threads = nullptr;
        pool.reset();
    };

    framestats_t stats{};
    // The overlay's count starts at the first frame's number, and the first frame's time
    // runs from here, not from the program's start: loading is not a frame.
    stats.frames = static_cast<uint32_t>(run.first_frame - 1);
    rt::timer_reset_origin();
    run_result_t result;
    rt::catch_interrupts();
    run_frames(run, stats, result);
    const int interrupted = rt::interrupt_signal();

    if (benchmark) {
        benchmark_summary_t summary = summarise_benchmark(result.frame_ms, result.triangles, result.pixels);
        summary.threads = pool->size();
        summary.load_ms = load_ms;
        summary.isa = span_isa_name(span_isa());
        std::printf("%s\n%s\n", benchmark_human_line(summary).c_str(), benchmark_machine_line(summary).c_str());
    } else if (offscreen && result.frames_drawn != 0) {
        std::printf("%s\n", result.last_line.c_str());
    }

    std::string picture = picture_sequence ? "" : options.screenshot;
    if (picture.empty() && fell_back) picture = rt::default_screenshot_path();
    if (!picture.empty()) {
        if (!write_frame_picture(picture, *scene, stats, *run.screen, run.look, &why)) {
            std::fprintf(stderr, "softcube: %s\n", why.c_str());
            stop_workers();
            finish(1);
        }
        if (fell_back) std::printf("last frame written to %s\n", rt::absolute_path(picture).c_str());
    }
    stop_workers();
    if (interrupted != 0) finish(rt::interrupted_exit_status(interrupted));
    finish(result.picture_failed ? 1 : 0);
}
