// Batches and thumbnails: each model loaded, drawn and written through the library's interface.
#include "app/batch.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "app/picture_quality.h"
#include "softcube/softcube.h"
#include "viewer/output_names.h"

namespace {

// The command line's picture, camera and modes as the library takes them.
softcube::render_options render_options_of(const options_t& o, uint32_t threads) {
    softcube::render_options r;
    r.width = static_cast<int>(o.width);
    r.height = static_cast<int>(o.height);
    r.azimuth = o.camera.azimuth;
    r.elevation = o.camera.elevation;
    r.zoom = o.camera.zoom;
    r.frame = o.frame_given ? o.first_frame : 0;
    r.background = {o.background.red, o.background.green, o.background.blue,
                    static_cast<uint8_t>(o.background.transparent ? 0 : 255)};
    r.opacity = o.opacity;
    r.wireframe = o.wireframe;
    r.cull = o.cull;
    r.clip = o.clip;
    r.overlay = o.overlay;
    r.threads = static_cast<int>(threads);
    return r;
}

// The run's picture quality (the options given, the rest as picture_quality_of decides) as the
// library takes it.
void set_quality(softcube::render_options& r, const picture_quality_t& q, const options_t& o) {
    r.edges = q.edges == edge_rule_t::watertight ? softcube::edge_rule::watertight : softcube::edge_rule::spans;
    r.ssaa = static_cast<int>(q.ssaa);
    switch (q.filter) {
        case texture_filter_t::nearest:
            r.filter = softcube::texture_filter::nearest;
            break;
        case texture_filter_t::linear:
            r.filter = softcube::texture_filter::linear;
            break;
        case texture_filter_t::trilinear:
            r.filter = softcube::texture_filter::trilinear;
            break;
    }
    switch (q.lines) {
        case line_mode_t::none:
            r.lines = softcube::line_mode::none;
            break;
        case line_mode_t::over_fill:
            r.lines = softcube::line_mode::over;
            break;
        case line_mode_t::only:
            r.lines = softcube::line_mode::only;
            break;
    }
    r.light_azimuth = o.light_azimuth;
    r.light_elevation = o.light_elevation;
}

softcube::model loaded(const std::string& path, const softcube::load_options& options) {
    softcube::model m = softcube::load_model(path, options);
    for (const std::string& warning : m.warnings()) std::fprintf(stderr, "softcube: %s\n", warning.c_str());
    return m;
}

}  // namespace

int run_batch(const options_t& options, uint32_t threads) {
    std::error_code ec;
    std::filesystem::create_directories(options.output_dir, ec);
    if (ec || !std::filesystem::is_directory(options.output_dir)) {
        std::fprintf(stderr, "softcube: cannot use '%s' as the output folder: %s\n", options.output_dir.c_str(),
                     ec ? ec.message().c_str() : "not a folder");
        return 1;
    }
    softcube::render_options render = render_options_of(options, threads);
    set_quality(render, picture_quality_of(options, false, options.width, options.height), options);
    softcube::load_options load;
    load.texture = options.texture;
    softcube::renderer renderer(static_cast<int>(threads));
    std::map<std::string, int> names_taken;
    size_t drawn = 0;
    for (const std::string& path : options.models) {
        std::string name = model_name_of(path);
        if (const int seen = names_taken[name]++; seen > 0) name.append("-").append(std::to_string(seen + 1));
        const std::string picture = (std::filesystem::path(options.output_dir) / (name + ".png")).string();
        try {
            softcube::save_png(renderer.render(loaded(path, load), render), picture);
            ++drawn;
            std::printf("%s written to %s\n", path.c_str(), picture.c_str());
        } catch (const softcube::error& e) {
            std::fprintf(stderr, "softcube: %s\n", e.what());
        }
    }
    std::printf("%zu of %zu models drawn into %s\n", drawn, options.models.size(), options.output_dir.c_str());
    return drawn == options.models.size() ? 0 : 1;
}

int run_thumbnail(const options_t& options, uint32_t threads) {
    softcube::render_options render;
    render.width = render.height = static_cast<int>(options.thumbnail_size);
    render.azimuth = thumbnail_azimuth;
    render.elevation = thumbnail_elevation;
    render.opacity = 1.0;
    render.background = {0, 0, 0, 0};
    render.threads = static_cast<int>(threads);
    set_quality(render, picture_quality_of(options, true, options.thumbnail_size, options.thumbnail_size), options);
    softcube::load_options load;
    load.confine_to_model_folder = true;
    try {
        // A file manager names the output as it likes; save_png always writes a PNG.
        softcube::save_png(softcube::render(loaded(options.thumbnail_input, load), render), options.thumbnail_output);
    } catch (const softcube::error& e) {
        std::fprintf(stderr, "softcube: %s\n", e.what());
        return 1;
    }
    return 0;
}
