// The SDL window that shows the graphics screen's framebuffer.
#pragma once

#include <cstdint>
#include <string>

namespace rt {

// Opens a window the size of the current graphics screen and attaches it as the screen's
// presenter; closing or replacing the screen closes it. No vsync: the frame rate is the
// renderer's. On failure returns false with a one-line reason in *why, and the screen keeps
// working offscreen.
bool enable_window(std::string* why);
bool window_enabled();
// The window's title bar text, applied now or when the window opens; "softcube" until set.
void set_window_title(const std::string& title);

// The size of the window's drawable area in pixels (on a high-DPI display more pixels than
// the window's size in screen units), and whether it is minimised.
struct window_size_t {
    uint32_t width = 0;
    uint32_t height = 0;
    bool minimised = false;
};
window_size_t window_size();
// True once for each change of the window's size (a resize, maximising, minimising or
// restoring) since the last call.
bool window_size_changed();

// Sleeps until the window has an event, at most the given milliseconds: a window with
// nothing to draw waits here instead of spinning.
void wait_for_window_event(int milliseconds);

// The smallest drawable area the window may be resized to.
constexpr uint32_t window_min_side = 16;

namespace detail {

// Whether Escape was already held when the window opened (known on X only; false elsewhere).
bool escape_was_down_at_open();

}  // namespace detail
}  // namespace rt
