// The window's pending events taken in one place: keys, the mouse, size changes and the close request.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>

namespace rt::detail {

// What the events since the window opened (or since each part was last asked for) said.
struct window_events_t {
    bool close_requested = false;
    // Escape held since before the window opened, until SDL reports a press or release of it.
    bool escape_held_from_open = false;
    bool escape_checked_at_open = false;
    // Keys that went down since key_pressed last asked for them, by SDL scan code.
    std::array<bool, SDL_NUM_SCANCODES> pressed_since_asked{};
    // Mouse movement with a button held, in window pixels, and wheel notches, since asked.
    double drag_x = 0.0;  // left button
    double drag_y = 0.0;
    double pan_x = 0.0;  // right or middle button
    double pan_y = 0.0;
    double wheel = 0.0;
    uint32_t double_clicks = 0;
    // The window's size changed (or it was minimised or restored) since asked.
    bool size_changed = false;
    bool minimised = false;
};

// Takes in every pending event; with a timeout above 0 it first waits that many
// milliseconds for one to arrive (the window sleeps while nothing happens).
window_events_t& take_window_events(int wait_ms = 0);

}  // namespace rt::detail
