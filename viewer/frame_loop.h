// The frame loop: frames drawn in the window or offscreen, with the pictures a run writes along the way.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scene/demo_frame.h"
#include "scene/framestats.h"

struct screen_t;

struct frame_run_t {
    scene_t* scene = nullptr;
    screen_t* screen = nullptr;  // after a resize of the window, the target of the new size
    std::unique_ptr<screen_t> resized_screen;
    frame_look_t look;
    uint64_t first_frame = 1;   // the number of the first frame drawn
    uint64_t frame_limit = 0;   // frames to draw; 0: until Escape or a close request
    bool window = false;        // keys and presenting; offscreen otherwise
    bool benchmark = false;     // each frame timed, no pause
    bool idle_waits = true;     // a window with nothing moving waits for events instead of drawing
    uint32_t turntable = 0;     // frames of one turn about the vertical axis; 0: the scene turns itself
    std::string picture_names;  // a {frame} template: pictures written along the way; empty: none
    uint64_t every = 1;         // with picture_names, every K-th frame drawn is written
    std::string model_file;     // the model's file name, for {model} and the window title; empty: the cube
    std::string f12_name;       // F12's numbered pictures are named after this (empty: softcube.png)
    bool progress = false;      // a progress line on a terminal
};

struct run_result_t {
    uint64_t frames_drawn = 0;
    std::string last_line;  // the last overlay text; empty when no frame was drawn
    std::vector<double> frame_ms;
    uint64_t triangles = 0;
    uint64_t pixels = 0;
    bool picture_failed = false;  // a picture of the sequence could not be written
};

// Draws frames until the limit, Escape or a close request. A benchmark records each frame's
// time from scene update to present and skips the 1 ms pause the demo takes. In the window
// the keys and the mouse move the camera and switch the modes (see viewer/view_controls.h), H or
// F1 shows the help panel, the picture follows the window's size, and while nothing moves
// (the turn paused, no input) no frame is drawn: the loop sleeps until an event arrives.
void run_frames(frame_run_t& run, framestats_t& stats, run_result_t& result);
