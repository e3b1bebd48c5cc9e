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

namespace detail {

// Whether Escape was already held when the window opened (known on X only; false elsewhere).
bool escape_was_down_at_open();

}  // namespace detail
}  // namespace rt
