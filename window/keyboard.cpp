// Key state and presses from SDL's keyboard, addressed by PC scan codes, and the window's close request.
#include "window/keyboard.h"

#include <SDL.h>

#include <array>

#include "window/window.h"
#include "window/window_events.h"

namespace rt {
namespace {

// PC first-set scan codes 0x00 .. 0x58 of the main block and the function keys, as SDL
// scan codes; 0 marks codes with no key.
constexpr std::array<SDL_Scancode, 0x59> scancode_table = {
    SDL_SCANCODE_UNKNOWN,
    SDL_SCANCODE_ESCAPE,
    SDL_SCANCODE_1,
    SDL_SCANCODE_2,
    SDL_SCANCODE_3,
    SDL_SCANCODE_4,
    SDL_SCANCODE_5,
    SDL_SCANCODE_6,
    SDL_SCANCODE_7,
    SDL_SCANCODE_8,
    SDL_SCANCODE_9,
    SDL_SCANCODE_0,
    SDL_SCANCODE_MINUS,
    SDL_SCANCODE_EQUALS,
    SDL_SCANCODE_BACKSPACE,
    SDL_SCANCODE_TAB,
    SDL_SCANCODE_Q,
    SDL_SCANCODE_W,
    SDL_SCANCODE_E,
    SDL_SCANCODE_R,
    SDL_SCANCODE_T,
    SDL_SCANCODE_Y,
    SDL_SCANCODE_U,
    SDL_SCANCODE_I,
    SDL_SCANCODE_O,
    SDL_SCANCODE_P,
    SDL_SCANCODE_LEFTBRACKET,
    SDL_SCANCODE_RIGHTBRACKET,
    SDL_SCANCODE_RETURN,
    SDL_SCANCODE_LCTRL,
    SDL_SCANCODE_A,
    SDL_SCANCODE_S,
    SDL_SCANCODE_D,
    SDL_SCANCODE_F,
    SDL_SCANCODE_G,
    SDL_SCANCODE_H,
    SDL_SCANCODE_J,
    SDL_SCANCODE_K,
    SDL_SCANCODE_L,
    SDL_SCANCODE_SEMICOLON,
    SDL_SCANCODE_APOSTROPHE,
    SDL_SCANCODE_GRAVE,
    SDL_SCANCODE_LSHIFT,
    SDL_SCANCODE_BACKSLASH,
    SDL_SCANCODE_Z,
    SDL_SCANCODE_X,
    SDL_SCANCODE_C,
    SDL_SCANCODE_V,
    SDL_SCANCODE_B,
    SDL_SCANCODE_N,
    SDL_SCANCODE_M,
    SDL_SCANCODE_COMMA,
    SDL_SCANCODE_PERIOD,
    SDL_SCANCODE_SLASH,
    SDL_SCANCODE_RSHIFT,
    SDL_SCANCODE_KP_MULTIPLY,
    SDL_SCANCODE_LALT,
    SDL_SCANCODE_SPACE,
    SDL_SCANCODE_CAPSLOCK,
    SDL_SCANCODE_F1,
    SDL_SCANCODE_F2,
    SDL_SCANCODE_F3,
    SDL_SCANCODE_F4,
    SDL_SCANCODE_F5,
    SDL_SCANCODE_F6,
    SDL_SCANCODE_F7,
    SDL_SCANCODE_F8,
    SDL_SCANCODE_F9,
    SDL_SCANCODE_F10,
    SDL_SCANCODE_NUMLOCKCLEAR,
    SDL_SCANCODE_SCROLLLOCK,
    SDL_SCANCODE_KP_7,
    SDL_SCANCODE_UP,
    SDL_SCANCODE_KP_9,
    SDL_SCANCODE_KP_MINUS,
    SDL_SCANCODE_LEFT,
    SDL_SCANCODE_KP_5,
    SDL_SCANCODE_RIGHT,
    SDL_SCANCODE_KP_PLUS,
    SDL_SCANCODE_KP_1,
    SDL_SCANCODE_DOWN,
    SDL_SCANCODE_KP_3,
    SDL_SCANCODE_INSERT,
    SDL_SCANCODE_DELETE,
    SDL_SCANCODE_UNKNOWN,
    SDL_SCANCODE_UNKNOWN,
    SDL_SCANCODE_NONUSBACKSLASH,
    SDL_SCANCODE_F11,
    SDL_SCANCODE_F12,
};

}  // namespace

int key_state(int scancode) {
    if (!window_enabled()) return 0;
    const detail::window_events_t& events = detail::take_window_events();
    if (scancode <= 0 || static_cast<size_t>(scancode) >= scancode_table.size()) return 0;
    const SDL_Scancode code = scancode_table[static_cast<size_t>(scancode)];
    if (code == SDL_SCANCODE_UNKNOWN) return 0;
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    if (keys == nullptr || code >= count) return 0;
    if (code == SDL_SCANCODE_ESCAPE && events.escape_held_from_open) return -1;
    return keys[code] != 0 ? -1 : 0;
}

bool key_pressed(int scancode) {
    if (!window_enabled()) return false;
    detail::window_events_t& events = detail::take_window_events();
    if (scancode <= 0 || static_cast<size_t>(scancode) >= scancode_table.size()) return false;
    const SDL_Scancode code = scancode_table[static_cast<size_t>(scancode)];
    if (code == SDL_SCANCODE_UNKNOWN) return false;
    const bool pressed = events.pressed_since_asked[static_cast<size_t>(code)];
    events.pressed_since_asked[static_cast<size_t>(code)] = false;
    return pressed;
}

bool window_close_requested() { return detail::take_window_events().close_requested; }

}  // namespace rt
