// The demo's frame sequence: the scene's turn, both clears, the scene and the statistics overlay.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/background.h"
#include "scene/framestats.h"
#include "scene/scene.h"

struct screen_t;

// How a frame looks besides its scene.
struct frame_look_t {
    background_t background;  // a transparent one is drawn over black
    bool overlay = true;
};

// What every frame does before drawing: the scene turns, the colour buffer is cleared to the
// background and the depth buffer to far. A supersampled screen (ssaa above 1, its samples
// made) has its samples cleared instead: the average replaces every pixel.
void start_demo_frame(scene_t& scene, screen_t& screen, const background_t& background = {});

// The scene into the cleared screen: straight into its buffers, or, supersampled, into its
// samples (with the screen's draw state and threads), averaged into its pixels
// (surfaces/sample_average.h); the screen's counters are then the samples': every triangle,
// and the samples written divided by ssaa^2, rounded.
void draw_scene(const scene_t& scene, screen_t& screen);

// One whole frame into the screen's buffers, the statistics line drawn over the picture (not
// over the samples) or not; returns the line.
std::string draw_demo_frame(scene_t& scene, const framestats_t& stats, screen_t& screen, const frame_look_t& look = {});

// The frame just drawn (over black, for a transparent background) as a picture with alpha:
// the frame is drawn again without turning the scene, over white, and the two are composed
// (see compose_transparent) into `picture`, blue, green, red, alpha; the framebuffer then
// holds the second drawing. False when there is no memory for the picture.
bool transparent_picture(const scene_t& scene, const framestats_t& stats, screen_t& screen, const frame_look_t& look,
                         std::vector<uint8_t>& picture);
