// The frame loop: keys and mouse, the turn of each frame, drawing, presenting, pictures along the way and timing.
#include "viewer/frame_loop.h"

#include <cstdio>

#include "base/graphics_screen.h"
#include "runtime/file_claim.h"
#include "runtime/interrupt.h"
#include "runtime/timer.h"
#include "surfaces/screen.h"
#include "viewer/frame_picture.h"
#include "viewer/help_panel.h"
#include "viewer/mode_keys.h"
#include "viewer/output_names.h"
#include "viewer/picture_target.h"
#include "viewer/progress.h"
#include "viewer/view_controls.h"
#include "window/keyboard.h"
#include "window/mouse.h"
#include "window/window.h"

namespace {

// How long a window with nothing to draw sleeps between looks at its events.
constexpr int idle_wait_ms = 100;

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

// The window's input since the last frame.
struct window_input_t {
    view_input_t view;
    bool help = false;
    bool f12 = false;
    bool modes = false;  // a mode key switched something
};

window_input_t take_window_input(frame_run_t& run) {
    window_input_t in;
    in.modes = apply_mode_keys(*run.screen, &run.scene->paused);
    in.f12 = rt::key_pressed(rt::scancode_f12);
    in.help = rt::key_pressed(rt::scancode_h) | rt::key_pressed(rt::scancode_f1);
    in.view.mouse = rt::take_mouse_motion();
    const auto held = [](int scancode) { return rt::key_state(scancode) != 0 ? 1.0 : 0.0; };
    in.view.arrow_x = held(rt::scancode_right) - held(rt::scancode_left);
    in.view.arrow_y = held(rt::scancode_up) - held(rt::scancode_down);
    in.view.zoom_steps =
        (rt::key_pressed(rt::scancode_equals) ? 1 : 0) + (rt::key_pressed(rt::scancode_keypad_plus) ? 1 : 0) -
        (rt::key_pressed(rt::scancode_minus) ? 1 : 0) - (rt::key_pressed(rt::scancode_keypad_minus) ? 1 : 0);
    in.view.reset = rt::key_pressed(rt::scancode_r) || in.view.mouse.double_clicks != 0;
    return in;
}

// The target follows the window's drawable size: a new target of that size takes the old
// one's modes and workers, and the scene its projection. False while minimised.
bool follow_window_size(frame_run_t& run) {
    const rt::window_size_t size = rt::window_size();
    if (size.minimised || size.width < rt::window_min_side || size.height < rt::window_min_side) return false;
    screen_t& old = *run.screen;
    if (size.width == old.width && size.height == old.height) return true;
    std::string why;
    std::unique_ptr<screen_t> target = open_sized_screen(size.width, size.height, run.look.background.transparent, &why,
                                                         /*offscreen=*/true, old.ssaa);
    if (target == nullptr) {
        std::fprintf(stderr, "softcube: %s; keeping the picture at %u x %u\n", why.c_str(), old.width, old.height);
        return true;
    }
    static_cast<draw_state_t&>(*target) = old;  // the field of view, the modes and the picture options
    target->threads = old.threads;
    old.threads = nullptr;
    run.resized_screen = std::move(target);
    run.screen = run.resized_screen.get();
    run.scene->reproject(*run.screen);
    return true;
}

}  // namespace

void run_frames(frame_run_t& run, framestats_t& stats, run_result_t& result) {
    scene_t& scene = *run.scene;
    if (run.benchmark) result.frame_ms.reserve(run.frame_limit);
    const std::string model = run.model_file.empty() ? "cube" : model_name_of(run.model_file);
    const camera_t start_camera = scene.camera;
    const double turntable_start = scene.camera.azimuth;
    progress_line_t progress(run.progress ? run.frame_limit : 0);
    bool help = false;
    bool drawn_since_change = false;  // the window shows the current scene
    long double last_frame_time = rt::timer();
    std::string title;
    if (run.window) {
        follow_window_size(run);
        title = window_title(run.model_file, *run.screen, scene, start_camera);
        rt::set_window_title(title);
    }
    for (;;) {
        // The window's close button ends the run the same way as Escape; an interrupt (SIGINT,
        // SIGTERM) ends it after the frame it came in, with its summary and picture.
        if (rt::key_state(rt::scancode_escape) == -1 || rt::window_close_requested()) break;
        if (rt::interrupt_signal() != 0) break;
        if (run.frame_limit != 0 && result.frames_drawn == run.frame_limit) break;
        bool f12 = false;
        if (run.window) {
            if (rt::window_size_changed()) {
                drawn_since_change = false;
                if (!follow_window_size(run)) {
                    rt::wait_for_window_event(idle_wait_ms);  // minimised: nothing to draw
                    continue;
                }
            }
            const window_input_t in = take_window_input(run);
            const long double now = rt::timer();
            const camera_t moved = camera_after(scene.camera, in.view, start_camera, run.screen->height,
                                                static_cast<double>(now - last_frame_time));
            last_frame_time = now;
            const bool camera_changed = moved.azimuth != scene.camera.azimuth ||
                                        moved.elevation != scene.camera.elevation || moved.zoom != scene.camera.zoom ||
                                        moved.pan_x != scene.camera.pan_x || moved.pan_y != scene.camera.pan_y;
            if (camera_changed) {
                // Taking hold of the camera stops the turn; Space starts it again.
                if (!in.view.reset) scene.paused = true;
                const bool zoomed = moved.zoom != scene.camera.zoom;
                scene.camera = moved;
                if (zoomed) scene.reproject(*run.screen);
            }
            if (in.help) help = !help;
            f12 = in.f12;
            if (camera_changed || in.help || in.modes || in.f12) drawn_since_change = false;
            const std::string new_title = window_title(run.model_file, *run.screen, scene, start_camera);
            if (new_title != title) {
                title = new_title;
                rt::set_window_title(title);
                drawn_since_change = false;
            }
            if (run.idle_waits && scene.paused && drawn_since_change && run.turntable == 0 &&
                run.picture_names.empty()) {
                rt::wait_for_window_event(idle_wait_ms);
                continue;
            }
        }
        screen_t& screen = *run.screen;
        const uint64_t frame = run.first_frame + result.frames_drawn;
        if (run.turntable != 0) {
            const uint64_t step = result.frames_drawn % run.turntable;
            scene.camera.azimuth = turntable_start + 360.0 * static_cast<double>(step) / run.turntable;
        }
        stats.update();
        const long double started = run.benchmark ? rt::timer() : 0.0L;
        base::screen_lock();
        result.last_line = draw_demo_frame(scene, stats, screen, run.look);
        if (help) draw_help_panel(screen.framebuffer, screen.width, screen.height);
        base::screen_unlock(-1, -1);
        if (run.window && screen.framebuffer != base::screen_framebuffer()) {
            base::present_picture(screen.framebuffer, screen.width, screen.height);
        }
        drawn_since_change = true;
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
