// scene_t: what a frame draws, the cube or a loaded model, with the turn it takes from frame to frame and its camera.
#pragma once

#include <cstdint>

#include "math/mat4.h"
#include "scene/camera.h"

struct screen_t;

struct scene_t {
    double angle = 0.0;   // the turn of the frame last prepared (see scene/frame_angle.h)
    bool paused = false;  // the angle stands still; frames go on
    camera_t camera;

    virtual ~scene_t() = default;

    // One frame's turn, before the buffers are cleared: the angle grows by 0.01 (unless
    // paused) and the frame matrix is rebuilt.
    virtual void update() = 0;
    // Draws into the cleared screen.
    virtual void draw(screen_t& screen) const = 0;
    // The projection again, after the target's size or the camera's zoom changed.
    virtual void reproject(const screen_t& screen) = 0;

    // Makes the next update() prepare frame n (frame 0: the scene unturned).
    void start_at_frame(uint64_t n);
    // Holds the scene still at the turn of frame n: paused, so every update prepares it.
    void hold_at_frame(uint64_t n);
};
