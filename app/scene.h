// scene_t: what the frame loop draws, the cube or a loaded model.
#pragma once

struct screen_t;

struct scene_t {
    virtual ~scene_t() = default;
    // One frame's turn, before the buffers are cleared.
    virtual void update() = 0;
    // Draws into the cleared screen.
    virtual void draw(screen_t& screen) const = 0;
};
