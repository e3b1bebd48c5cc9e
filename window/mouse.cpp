// The mouse's drags, wheel and double clicks, taken from the window's events.
#include "window/mouse.h"

#include "window/window.h"
#include "window/window_events.h"

namespace rt {

mouse_motion_t take_mouse_motion() {
    mouse_motion_t motion;
    if (!window_enabled()) return motion;
    detail::window_events_t& events = detail::take_window_events();
    motion.orbit_x = events.drag_x;
    motion.orbit_y = events.drag_y;
    motion.pan_x = events.pan_x;
    motion.pan_y = events.pan_y;
    motion.wheel = events.wheel;
    motion.double_clicks = events.double_clicks;
    events.drag_x = events.drag_y = events.pan_x = events.pan_y = events.wheel = 0.0;
    events.double_clicks = 0;
    return motion;
}

}  // namespace rt
