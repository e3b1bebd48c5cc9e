// The demo's frame sequence: the scene's turn, both clears, the scene and the statistics overlay.
#pragma once

#include <string>

#include "app/framestats.h"
#include "scene/background.h"
#include "scene/scene.h"

struct screen_t;

// How a frame looks besides its scene.
struct frame_look_t {
    background_t background;  // a transparent one is drawn over black
    bool overlay = true;
};

// What every frame does before drawing: the scene turns, the colour buffer is cleared to the
// background and the depth buffer to far.
void start_demo_frame(scene_t& scene, screen_t& screen, const background_t& background = {});

// One whole frame into the screen's buffers; returns the statistics line, drawn over the
// picture or not.
std::string draw_demo_frame(scene_t& scene, const framestats_t& stats, screen_t& screen, const frame_look_t& look = {});

// The frame just drawn, drawn again without turning the scene, over another colour (for the
// transparent picture, see compose_transparent).
void redraw_demo_frame_over(const scene_t& scene, const framestats_t& stats, screen_t& screen, const frame_look_t& look,
                            uint8_t red, uint8_t green, uint8_t blue);
