// The mouse in the window: drags, the wheel and double clicks since they were last taken.
#pragma once

#include <cstdint>

namespace rt {

struct mouse_motion_t {
    double orbit_x = 0.0;  // movement with the left button held, in window pixels (right, down)
    double orbit_y = 0.0;
    double pan_x = 0.0;  // movement with the right or middle button held
    double pan_y = 0.0;
    double wheel = 0.0;          // notches, positive away from the user
    uint32_t double_clicks = 0;  // of the left button

    bool any() const {
        return orbit_x != 0.0 || orbit_y != 0.0 || pan_x != 0.0 || pan_y != 0.0 || wheel != 0.0 || double_clicks != 0;
    }
};

// What the mouse did since the last call; nothing while no window is shown.
mouse_motion_t take_mouse_motion();

}  // namespace rt
