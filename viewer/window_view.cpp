// softcube::view: the program's frame loop in a window, for other programs.
#include <cstring>
#include <memory>
#include <string>

#include "base/graphics_screen.h"
#include "base/thread_pool.h"
#include "model/model_mesh.h"
#include "scene/model_scene.h"
#include "softcube/model_data.h"
#include "softcube/picture_options.h"
#include "softcube/window.h"
#include "surfaces/screen.h"
#include "viewer/frame_loop.h"
#include "window/window.h"

namespace softcube {

void view(const model& m, const render_options& o) {
    if (!m.data_) throw error("the model is empty: make it with load_model or make_model");
    if (o.width < 16 || o.width > 16384 || o.height < 16 || o.height > 16384) {
        throw error("the window's width and height must each be 16 to 16384");
    }
    const detail::model_data& data = *m.data_;
    screen_t target(static_cast<uint32_t>(o.width), static_cast<uint32_t>(o.height), 90.0f);
    // Closes the window and releases the screen however the view ends.
    const std::unique_ptr<screen_t, void (*)(screen_t*)> closing(&target, [](screen_t*) { base::screen_close(0); });
    if (target.framebuffer == nullptr) throw error("no memory for a window of that size");
    target.set_fov(90.0f);
    model_scene_t scene(target, make_mesh(data.model, static_cast<float>(o.opacity)), data.texture);
    scene.camera.azimuth = o.azimuth;
    scene.camera.elevation = o.elevation;
    scene.camera.zoom = o.zoom;
    scene.reproject(target);
    scene.start_at_frame(o.frame);
    target.textured = o.textured && data.textured ? 1 : 0;
    target.wireframe = o.wireframe ? 1 : 0;
    target.cull_backfaces = o.cull ? 1 : 0;
    target.clip_triangles = o.clip ? 1 : 0;
    if (const std::string wrong = detail::picture_options_error(o); !wrong.empty()) throw error(wrong);
    detail::apply_picture_options(o, true, target);
    target.ssaa = detail::resolved_ssaa(o, true);
    if (!target.make_samples()) throw error("no memory for the window picture's samples");
    std::string why;
    if (!rt::enable_window(&why)) throw error("cannot open a window: " + why);
    base::thread_pool_t pool(o.threads > 0 ? static_cast<uint32_t>(o.threads) : base::online_cores());
    target.threads = &pool;
    frame_run_t run;
    run.scene = &scene;
    run.screen = &target;
    run.look.background = {o.background[0], o.background[1], o.background[2], false};
    run.look.overlay = o.overlay;
    run.first_frame = o.frame;
    run.window = true;
    run.model_file = data.name;
    framestats_t stats{};
    run_result_t result;
    run_frames(run, stats, result);
    run.screen->threads = nullptr;
}

}  // namespace softcube
