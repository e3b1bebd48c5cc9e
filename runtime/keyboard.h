// Keyboard state by scan code, and the window's close request.
#pragma once

namespace rt {

// Scan codes are those of the PC keyboard's first set: 1 is Escape.
constexpr int scancode_escape = 1;

// -1 (all bits set) while the key is held, otherwise 0; 0 for unknown codes and while no
// window is shown. Each call first takes in the window's pending events.
int key_state(int scancode);

// True once the window manager has asked the window to close (its close button); stays true.
bool window_close_requested();

}  // namespace rt
