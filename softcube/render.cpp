// Rendering a softcube::model or the demo's cube into an image, on a thread pool that renderers may share.
#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>

#include "base/thread_pool.h"
#include "model/model_mesh.h"
#include "runtime/system_memory.h"
#include "scene/cube_scene.h"
#include "scene/demo_frame.h"
#include "scene/model_scene.h"
#include "softcube/model_data.h"
#include "softcube/picture_options.h"
#include "softcube/softcube.h"
#include "surfaces/screen.h"

#ifndef SOFTCUBE_VERSION
#error "the build defines SOFTCUBE_VERSION"
#endif

namespace softcube {

namespace detail {

// Renderers that share the pool take turns: one frame's job at a time.
struct pool_data {
    explicit pool_data(uint32_t threads) : pool(threads) {}
    base::thread_pool_t pool;
    std::mutex turn;
};

}  // namespace detail

namespace {

[[noreturn]] void fail(const std::string& why) { throw error(why); }

// The options checked for a model or the cube, the memory for the picture and its samples
// included.
void check(const render_options& o, bool model) {
    const auto side = [](int v) { return v >= 16 && v <= 16384; };
    if (!side(o.width) || !side(o.height)) {
        fail("the picture's width and height must each be 16 to 16384, not " + std::to_string(o.width) + " x " +
             std::to_string(o.height));
    }
    if (!(std::abs(o.azimuth) <= 1e6)) fail("the azimuth must be a finite number of degrees");
    if (!(std::abs(o.elevation) <= camera_t::max_elevation)) fail("the elevation must be -89 to 89 degrees");
    if (!(o.zoom >= camera_t::min_zoom && o.zoom <= camera_t::max_zoom)) fail("the zoom must be 0.01 to 100");
    if (!(o.opacity >= 0.0 && o.opacity <= 1.0)) fail("the opacity must be 0 to 1");
    if (const std::string why = detail::picture_options_error(o); !why.empty()) fail(why);
    const uint64_t ssaa = detail::resolved_ssaa(o, model);
    const uint64_t pixels = uint64_t(o.width) * uint64_t(o.height);
    const uint64_t needed = pixels * (o.background[3] == 255 ? 8 : 12) + (ssaa > 1 ? pixels * ssaa * ssaa * 8 : 0);
    if (needed > rt::available_memory_bytes()) {
        fail("a " + std::to_string(o.width) + " x " + std::to_string(o.height) + " picture needs " +
             std::to_string((needed + (1 << 20) - 1) >> 20) + " MiB, more than the memory available");
    }
}

uint32_t thread_count(int threads) {
    return threads > 0 ? static_cast<uint32_t>(std::min(threads, 256)) : std::max(1u, base::online_cores());
}

// The frame of the scene as an image: over an opaque background the framebuffer's colours,
// otherwise the transparent picture laid over the background with the background's alpha.
image render_scene(scene_t& scene, screen_t& target, const render_options& o, bool model, detail::pool_data& pool) {
    scene.camera.azimuth = o.azimuth;
    scene.camera.elevation = o.elevation;
    scene.camera.zoom = o.zoom;
    scene.reproject(target);
    scene.hold_at_frame(o.frame);
    target.wireframe = o.wireframe ? 1 : 0;
    target.cull_backfaces = o.cull ? 1 : 0;
    target.clip_triangles = o.clip ? 1 : 0;
    detail::apply_picture_options(o, model, target);
    target.ssaa = detail::resolved_ssaa(o, model);
    if (!target.make_samples()) fail("no memory for the picture's samples");
    const uint8_t background_alpha = o.background[3];
    frame_look_t look;
    look.background = {o.background[0], o.background[1], o.background[2], background_alpha != 255};
    look.overlay = o.overlay;

    std::vector<uint8_t> transparent;
    {
        const std::lock_guard<std::mutex> turn(pool.turn);
        target.threads = &pool.pool;
        framestats_t stats{};
        stats.frames = static_cast<uint32_t>(o.frame == 0 ? 0 : o.frame - 1);
        stats.update();
        draw_demo_frame(scene, stats, target, look);
        const bool composed = background_alpha == 255 || transparent_picture(scene, stats, target, look, transparent);
        target.threads = nullptr;
        if (!composed) fail("no memory for the transparent picture");
    }

    image out;
    out.width = static_cast<int>(target.width);
    out.height = static_cast<int>(target.height);
    const size_t pixels = size_t(target.width) * target.height;
    out.pixels.resize(pixels * 4);
    const uint8_t* bgra = background_alpha == 255 ? target.framebuffer : transparent.data();
    for (size_t i = 0; i < pixels * 4; i += 4) {
        uint8_t* p = &out.pixels[i];
        if (background_alpha == 255) {
            p[0] = bgra[i + 2];
            p[1] = bgra[i + 1];
            p[2] = bgra[i];
            p[3] = 255;
            continue;
        }
        // The picture (straight colour c, alpha a) over the background (b, alpha B):
        // alpha a + B (1 - a), colour (c a + b B (1 - a)) / that alpha.
        const uint32_t a = bgra[i + 3];
        const uint32_t under = background_alpha * (255 - a);  // in 255ths squared
        const uint32_t alpha255 = a * 255 + under;
        for (int c = 0; c < 3; ++c) {
            const uint32_t colour = bgra[i + 2 - c];
            const uint32_t mixed = colour * a * 255 + o.background[static_cast<size_t>(c)] * under;
            p[c] = alpha255 == 0 ? 0 : static_cast<uint8_t>((mixed + alpha255 / 2) / alpha255);
        }
        p[3] = static_cast<uint8_t>((alpha255 + 127) / 255);
    }
    return out;
}

// An offscreen target of the options' size with the demo's field of view.
std::unique_ptr<screen_t> make_target(const render_options& o) {
    auto target = std::make_unique<screen_t>(static_cast<uint32_t>(o.width), static_cast<uint32_t>(o.height), 90.0f,
                                             screen_t::offscreen_tag{});
    if (target->framebuffer == nullptr || target->zbuffer == nullptr) {
        fail("no memory for a " + std::to_string(o.width) + " x " + std::to_string(o.height) + " picture");
    }
    target->set_fov(90.0f);
    return target;
}

}  // namespace

const char* version() { return SOFTCUBE_VERSION; }

thread_pool::thread_pool(int threads) : data_(std::make_shared<detail::pool_data>(thread_count(threads))) {}

int thread_pool::size() const { return static_cast<int>(data_->pool.size()); }

renderer::renderer(int threads) : pool_(threads) {}
renderer::renderer(thread_pool pool) : pool_(std::move(pool)) {}

image renderer::render(const model& m, const render_options& o) {
    if (!m.data_) fail("the model is empty: make it with load_model or make_model");
    check(o, true);
    const detail::model_data& data = *m.data_;
    std::unique_ptr<screen_t> target = make_target(o);
    model_scene_t scene(*target, make_mesh(data.model, static_cast<float>(o.opacity)), data.texture);
    target->textured = o.textured && data.textured ? 1 : 0;
    return render_scene(scene, *target, o, true, *pool_.data_);
}

image renderer::render_cube(const render_options& o) {
    check(o, false);
    std::unique_ptr<screen_t> target = make_target(o);
    // The cube is never textured: its texture stays blank.
    cube_scene_t scene(*target, std::make_unique<texture_t>(32, 32, 32));
    target->textured = 0;
    return render_scene(scene, *target, o, false, *pool_.data_);
}

image render(const model& m, const render_options& options) { return renderer(options.threads).render(m, options); }

image render_cube(const render_options& options) { return renderer(options.threads).render_cube(options); }

}  // namespace softcube
