// Keys and mouse to camera changes, and the window title that shows them.
#include "viewer/view_controls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "surfaces/screen.h"
#include "viewer/mode_keys.h"

camera_t camera_after(const camera_t& camera, const view_input_t& input, const camera_t& start, uint32_t picture_height,
                      double seconds) {
    if (input.reset) return start;
    camera_t c = camera;
    const double step = orbit_degrees_per_second * std::clamp(seconds, 0.0, 0.25);
    c.azimuth -= input.mouse.orbit_x * orbit_degrees_per_pixel - input.arrow_x * step;
    c.azimuth = std::remainder(c.azimuth, 360.0);
    c.elevation += input.mouse.orbit_y * orbit_degrees_per_pixel + input.arrow_y * step;
    c.elevation = std::clamp(c.elevation, -camera_t::max_elevation, camera_t::max_elevation);
    c.zoom *= std::pow(zoom_per_notch, input.mouse.wheel) * std::pow(zoom_per_press, input.zoom_steps);
    c.zoom = std::clamp(c.zoom, camera_t::min_zoom, camera_t::max_zoom);
    if (picture_height > 0) {
        // A pan of 1 is half the picture's height.
        const double half = picture_height / 2.0;
        c.pan_x -= input.mouse.pan_x / half;
        c.pan_y += input.mouse.pan_y / half;
    }
    return c;
}

std::string window_title(const std::string& model_file, const screen_t& screen, const scene_t& scene,
                         const camera_t& start) {
    std::string title = model_window_title(model_file.empty() ? "cube" : model_file, screen, scene.paused);
    const camera_t& c = scene.camera;
    if (c.azimuth != start.azimuth || c.elevation != start.elevation || c.zoom != start.zoom ||
        c.pan_x != start.pan_x || c.pan_y != start.pan_y) {
        char camera[96];
        std::snprintf(camera, sizeof camera, " azimuth %.1f elevation %.1f zoom %.2f", c.azimuth, c.elevation, c.zoom);
        title += camera;
    }
    return model_file.empty() && title == "softcube - cube" ? "softcube" : title;
}
