// The demo's frame sequence: the scene's turn, both clears, the scene and the statistics overlay.
#pragma once

#include <string>

#include "app/framestats.h"
#include "app/scene.h"

struct screen_t;

// What every frame does before drawing: the scene turns, the colour buffer is cleared to the
// background and the depth buffer to far.
void start_demo_frame(scene_t& scene, screen_t& screen);

// One whole frame into the screen's buffers; returns the overlay's text.
std::string draw_demo_frame(scene_t& scene, const framestats_t& stats, screen_t& screen);
