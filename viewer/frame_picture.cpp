// Frame pictures: the framebuffer as drawn, or the transparent composition of two drawings.
#include "viewer/frame_picture.h"

#include <vector>

#include "surfaces/screen.h"

bool write_frame_picture(const std::string& path, const scene_t& scene, const framestats_t& stats, screen_t& screen,
                         const frame_look_t& look, std::string* why, rt::picture_format format) {
    rt::picture_options_t options;
    options.format = format;
    if (!look.background.transparent) {
        return rt::write_picture(path, screen.framebuffer, screen.width, screen.height, why, options);
    }
    std::vector<uint8_t> picture;
    if (!transparent_picture(scene, stats, screen, look, picture)) {
        if (why) *why = "cannot write '" + path + "': no memory for the transparent picture";
        return false;
    }
    options.keep_alpha = true;
    return rt::write_picture(path, picture.data(), screen.width, screen.height, why, options);
}
