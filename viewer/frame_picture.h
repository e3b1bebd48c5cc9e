// The picture of the frame in the screen's buffers, written to a file: opaque as drawn, or transparent.
#pragma once

#include <string>

#include "runtime/screenshot.h"
#include "scene/demo_frame.h"

// Writes the frame just drawn. Over an opaque background the framebuffer is written as it is;
// over a transparent one the frame is drawn a second time, over white, and composed with the
// first (drawn over black) into a PNG with alpha (see compose_transparent); the framebuffer
// then holds the second drawing. On failure false with a one-line reason in *why.
bool write_frame_picture(const std::string& path, const scene_t& scene, const framestats_t& stats, screen_t& screen,
                         const frame_look_t& look, std::string* why,
                         rt::picture_format format = rt::picture_format::none);
