// The frame loop: keys, the turn of each frame, drawing, presenting, pictures along the way and timing.
#include "app/frame_loop.h"

#include <cstdio>

#include "app/frame_picture.h"
#include "app/mode_keys.h"
#include "app/output_names.h"
#include "app/progress.h"
#include "base/graphics_screen.h"
#include "runtime/file_claim.h"
#include "runtime/keyboard.h"
#include "runtime/timer.h"
#include "runtime/window.h"
#include "surfaces/screen.h"

namespace {

void report_picture(const std::string& path, uint64_t frame) {
    std::printf("frame %llu written to %s\n", static_cast<unsigned long long>(frame), path.c_str());
    std::fflush(stdout);
}

// F12's picture: the template's name for this frame when it is free, else the next free
// numbered name; never a file that exists.
std::string f12_picture_name(const frame_run_t& run, uint64_t frame) {
    const std::string model = run.model_file.empty() ? "cube" : model_name_of(run.model_file);
    if (names_frames(run.f12_name)) {
        const std::string named = expand_name(run.f12_name, frame, model);
        if (rt::claim_new_file(named) == rt::claim_result::claimed) return named;
        return claim_numbered_name(named);
    }
    return claim_numbered_name(run.f12_name.empty() ? "softcube.png" : expand_name(run.f12_name, frame, model));
}

}  // namespace

void run_frames(const frame_run_t& run, framestats_t& stats, run_result_t& result) {
    scene_t& scene = *run.scene;
    screen_t& screen = *run.screen;
    if (run.benchmark) result.frame_ms.reserve(run.frame_limit);
    const std::string model = run.model_file.empty() ? "cube" : model_name_of(run.model_file);
    const double turntable_start = scene.camera.azimuth;
    progress_line_t progress(run.progress ? run.frame_limit : 0);
    for (;;) {
        // The window's close button ends the run the same way as Escape.
        if (rt::key_state(rt::scancode_escape) == -1 || rt::window_close_requested()) break;
        if (run.frame_limit != 0 && result.frames_drawn == run.frame_limit) break;
        bool f12 = false;
        if (run.window) {
            if (run.model_keys && apply_mode_keys(screen, &scene.paused)) {
                rt::set_window_title(model_window_title(run.model_file, screen, scene.paused));
            }
            f12 = rt::key_pressed(rt::scancode_f12);
        }
        const uint64_t frame = run.first_frame + result.frames_drawn;
        if (run.turntable != 0) {
            const uint64_t step = result.frames_drawn % run.turntable;
            scene.camera.azimuth = turntable_start + 360.0 * static_cast<double>(step) / run.turntable;
        }
        stats.update();
        const long double started = run.benchmark ? rt::timer() : 0.0L;
        base::screen_lock();
        result.last_line = draw_demo_frame(scene, stats, screen, run.look);
        base::screen_unlock(-1, -1);
        ++result.frames_drawn;
        std::string why;
        if (!run.picture_names.empty() && result.frames_drawn % run.every == 0) {
            const std::string path = expand_name(run.picture_names, frame, model);
            if (write_frame_picture(path, scene, stats, screen, run.look, &why)) {
                if (run.window) report_picture(path, frame);
            } else {
                std::fprintf(stderr, "softcube: %s\n", why.c_str());
                result.picture_failed = true;
            }
        }
        if (f12) {
            const std::string path = f12_picture_name(run, frame);
            if (path.empty()) {
                std::fprintf(stderr, "softcube: F12: no free picture name beside '%s'\n",
                             run.f12_name.empty() ? "softcube.png" : run.f12_name.c_str());
            } else if (write_frame_picture(path, scene, stats, screen, run.look, &why)) {
                report_picture(path, frame);
            } else {
                std::fprintf(stderr, "softcube: %s\n", why.c_str());
            }
        }
        if (run.benchmark) {
            result.frame_ms.push_back(static_cast<double>((rt::timer() - started) * 1000.0L));
            result.triangles += screen.triangle_count;
            result.pixels += screen.pixel_count;
        } else {
            rt::sleep_ms(1);
        }
        progress.frame_done(result.frames_drawn);
    }
    progress.finish();
}
