// The window's event pump: SDL's queue emptied into one record that the keyboard, mouse and window read.
#include "window/window_events.h"

#include "window/window.h"

namespace rt::detail {
namespace {

window_events_t events;

void take(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            events.close_requested = true;
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (event.type == SDL_KEYDOWN && event.key.repeat == 0 && event.key.keysym.scancode >= 0 &&
                event.key.keysym.scancode < SDL_NUM_SCANCODES) {
                events.pressed_since_asked[static_cast<size_t>(event.key.keysym.scancode)] = true;
            }
            if (event.key.keysym.scancode == SDL_SCANCODE_ESCAPE) {
                events.escape_held_from_open = false;  // SDL's own state is current from here on
            }
            break;
        case SDL_MOUSEMOTION:
            if ((event.motion.state & SDL_BUTTON_LMASK) != 0) {
                events.drag_x += event.motion.xrel;
                events.drag_y += event.motion.yrel;
            } else if ((event.motion.state & (SDL_BUTTON_RMASK | SDL_BUTTON_MMASK)) != 0) {
                events.pan_x += event.motion.xrel;
                events.pan_y += event.motion.yrel;
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT && event.button.clicks == 2) ++events.double_clicks;
            break;
        case SDL_MOUSEWHEEL:
            events.wheel += event.wheel.preciseY;
            break;
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                case SDL_WINDOWEVENT_EXPOSED:
                    events.minimised = false;
                    events.size_changed = true;
                    break;
                case SDL_WINDOWEVENT_MINIMIZED:
                    events.minimised = true;
                    events.size_changed = true;
                    break;
                default:
                    break;
            }
            break;
        default:
            break;
    }
}

}  // namespace

window_events_t& take_window_events(int wait_ms) {
    if (!window_enabled()) return events;
    if (!events.escape_checked_at_open) {
        events.escape_checked_at_open = true;
        events.escape_held_from_open = escape_was_down_at_open();
    }
    SDL_Event event;
    if (wait_ms > 0 && SDL_WaitEventTimeout(&event, wait_ms) != 0) take(event);
    while (SDL_PollEvent(&event) != 0) take(event);
    return events;
}

}  // namespace rt::detail
