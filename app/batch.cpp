// Batches and thumbnails: one model at a time into a fresh offscreen target, one frame, one picture.
#include "app/batch.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "app/picture_quality.h"
#include "scene/demo_frame.h"
#include "scene/model_scene.h"
#include "viewer/frame_picture.h"
#include "viewer/output_names.h"
#include "viewer/picture_target.h"

namespace {

struct still_picture_t {
    std::string model_path;
    std::string picture_path;
    uint32_t width = 0;
    uint32_t height = 0;
    model_look_t look;
    camera_t camera;
    uint64_t frame = 0;
    frame_look_t frame_look;
    const options_t* modes = nullptr;  // textured, wireframe, cull, clip
    picture_quality_t quality;
    rt::picture_format format = rt::picture_format::none;
};

// Loads the model and draws its one frame into the picture file; false with a one-line reason.
bool draw_still_picture(const still_picture_t& p, base::thread_pool_t& pool, std::string* why) {
    std::unique_ptr<screen_t> target = open_sized_screen(p.width, p.height, p.frame_look.background.transparent, why,
                                                         /*offscreen=*/true, p.quality.ssaa);
    if (target == nullptr) return false;
    target->set_fov(90.0f);
    bool texture_ready = false;
    std::unique_ptr<model_scene_t> scene = load_model_scene(*target, p.model_path, p.look, &texture_ready, why);
    if (scene == nullptr) return false;
    scene->camera = p.camera;
    scene->reproject(*target);
    scene->hold_at_frame(p.frame);
    target->textured = p.modes->textured || texture_ready ? 1 : 0;
    target->wireframe = p.modes->wireframe ? 1 : 0;
    target->cull_backfaces = p.modes->cull ? 1 : 0;
    target->clip_triangles = p.modes->clip ? 1 : 0;
    p.quality.apply_to(*target);
    target->threads = &pool;
    framestats_t stats{};
    stats.frames = static_cast<uint32_t>(p.frame == 0 ? 0 : p.frame - 1);
    stats.update();
    draw_demo_frame(*scene, stats, *target, p.frame_look);
    const bool written = write_frame_picture(p.picture_path, *scene, stats, *target, p.frame_look, why, p.format);
    target->threads = nullptr;
    return written;
}

}  // namespace

int run_batch(const options_t& options, base::thread_pool_t& pool) {
    std::error_code ec;
    std::filesystem::create_directories(options.output_dir, ec);
    if (ec || !std::filesystem::is_directory(options.output_dir)) {
        std::fprintf(stderr, "softcube: cannot use '%s' as the output folder: %s\n", options.output_dir.c_str(),
                     ec ? ec.message().c_str() : "not a folder");
        return 1;
    }
    std::map<std::string, int> names_taken;
    size_t drawn = 0;
    for (const std::string& model : options.models) {
        std::string name = model_name_of(model);
        if (const int seen = names_taken[name]++; seen > 0) name.append("-").append(std::to_string(seen + 1));
        still_picture_t p;
        p.model_path = model;
        p.picture_path = (std::filesystem::path(options.output_dir) / (name + ".png")).string();
        p.width = options.width;
        p.height = options.height;
        p.look = {options.opacity, options.texture};
        p.camera = options.camera;
        p.frame = options.frame_given ? options.first_frame : 0;
        p.frame_look = {options.background, options.overlay};
        p.modes = &options;
        p.quality = picture_quality_of(options, false, p.width, p.height);
        std::string why;
        if (draw_still_picture(p, pool, &why)) {
            ++drawn;
            std::printf("%s written to %s\n", model.c_str(), p.picture_path.c_str());
        } else {
            std::fprintf(stderr, "softcube: %s\n", why.c_str());
        }
    }
    std::printf("%zu of %zu models drawn into %s\n", drawn, options.models.size(), options.output_dir.c_str());
    return drawn == options.models.size() ? 0 : 1;
}

int run_thumbnail(const options_t& options, base::thread_pool_t& pool) {
    still_picture_t p;
    p.model_path = options.thumbnail_input;
    p.picture_path = options.thumbnail_output;
    p.width = p.height = options.thumbnail_size;
    p.look = {1.0f, ""};
    p.camera.azimuth = thumbnail_azimuth;
    p.camera.elevation = thumbnail_elevation;
    p.frame = 0;
    p.frame_look = {background_t{0, 0, 0, true}, false};
    p.modes = &options;
    p.quality = picture_quality_of(options, true, p.width, p.height);
    // A file manager names the output as it likes; it is always a PNG.
    p.format = rt::picture_format::png;
    std::string why;
    if (!draw_still_picture(p, pool, &why)) {
        std::fprintf(stderr, "softcube: %s\n", why.c_str());
        return 1;
    }
    return 0;
}
