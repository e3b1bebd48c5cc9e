// The window's keys and mouse turned into changes of the camera, the modes and the help panel.
#pragma once

#include <string>

#include "scene/scene.h"
#include "window/mouse.h"

struct screen_t;

// What the user did since the last frame, as plain data.
struct view_input_t {
    rt::mouse_motion_t mouse;
    double arrow_x = 0.0;  // -1, 0 or 1 for each held arrow pair (right, up)
    double arrow_y = 0.0;
    int zoom_steps = 0;  // presses of + (positive) and - (negative)
    bool reset = false;  // R or a double click
};

// How fast things move, in the units of the camera: per pixel of mouse movement, per second
// an arrow key is held, per wheel notch or key press.
constexpr double orbit_degrees_per_pixel = 0.4;
constexpr double orbit_degrees_per_second = 90.0;
constexpr double zoom_per_notch = 1.1;
constexpr double zoom_per_press = 1.25;

// The camera after the input: a left drag orbits (dragging right turns the scene to the
// right, dragging down tilts its top towards the viewer), a right or middle drag pans so the
// scene follows the pointer, the wheel and + / - zoom towards the scene's centre, held arrows
// orbit at a steady rate whatever the frame rate (`seconds` since the last frame), and a reset
// returns to `start`. Elevation and zoom stay within their limits. picture_height is the
// target's height in pixels, which a pan of one pixel follows.
camera_t camera_after(const camera_t& camera, const view_input_t& input, const camera_t& start, uint32_t picture_height,
                      double seconds);

// The window title: "softcube - NAME", the modes that are on in brackets, and the camera when
// it has moved from `start`, e.g. "softcube - torus.obj [textured, paused] azimuth 30.0
// elevation 15.0 zoom 1.50". The cube with nothing on and the camera unmoved is "softcube".
std::string window_title(const std::string& model_file, const screen_t& screen, const scene_t& scene,
                         const camera_t& start);
