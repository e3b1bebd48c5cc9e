// Keyboard state and key presses by scan code, and the window's close request.
#pragma once

namespace rt {

// Scan codes are those of the PC keyboard's first set: 1 is Escape.
constexpr int scancode_escape = 1;
constexpr int scancode_minus = 0x0C;
constexpr int scancode_equals = 0x0D;  // the key of "=" and "+"
constexpr int scancode_w = 0x11;
constexpr int scancode_r = 0x13;
constexpr int scancode_t = 0x14;
constexpr int scancode_h = 0x23;
constexpr int scancode_k = 0x25;
constexpr int scancode_c = 0x2E;
constexpr int scancode_space = 0x39;
constexpr int scancode_f1 = 0x3B;
constexpr int scancode_up = 0x48;
constexpr int scancode_keypad_minus = 0x4A;
constexpr int scancode_left = 0x4B;
constexpr int scancode_right = 0x4D;
constexpr int scancode_keypad_plus = 0x4E;
constexpr int scancode_down = 0x50;
constexpr int scancode_f12 = 0x58;

// -1 (all bits set) while the key is held, otherwise 0; 0 for unknown codes and while no
// window is shown. Each call first takes in the window's pending events.
int key_state(int scancode);

// True once for each time the key went down since the last call for it (auto-repeat does not
// count), so a toggle flips once per press however long the frame. False while no window is
// shown. Takes in the window's pending events first, like key_state.
bool key_pressed(int scancode);

// True once the window manager has asked the window to close (its close button); stays true.
bool window_close_requested();

}  // namespace rt
