// Key state and presses from SDL's keyboard, addressed by PC scan codes, and the window's close request.
#include "runtime/keyboard.h"

#include <SDL.h>

#include <array>

#include "base/graphics_screen.h"
#include "runtime/window.h"

namespace rt {
namespace {

constinit bool close_requested = false;
// Escape held since before the window opened, until SDL reports a press or release of it.
constinit bool escape_held_from_open = false;
constinit bool escape_checked_at_open = false;
// Keys that went down since key_pressed last asked for them, by SDL scan code.
constinit std::array<bool, SDL_NUM_SCANCODES> pressed_since_asked{};

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

void take_events() {
    if (!escape_checked_at_open) {
        escape_checked_at_open = true;
        escape_held_from_open = detail::escape_was_down_at_open();
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_QUIT) close_requested = true;
        if (event.type == SDL_KEYDOWN && event.key.repeat == 0 && event.key.keysym.scancode >= 0 &&
            event.key.keysym.scancode < SDL_NUM_SCANCODES) {
            pressed_since_asked[static_cast<size_t>(event.key.keysym.scancode)] = true;
        }
        if ((event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) &&
            event.key.keysym.scancode == SDL_SCANCODE_ESCAPE) {
            escape_held_from_open = false;  // SDL's own state is current from here on
        }
    }
}

}  // namespace

int key_state(int scancode) {
    if (!window_enabled()) return 0;
    take_events();
    if (scancode <= 0 || static_cast<size_t>(scancode) >= scancode_table.size()) return 0;
    const SDL_Scancode code = scancode_table[static_cast<size_t>(scancode)];
    if (code == SDL_SCANCODE_UNKNOWN) return 0;
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    if (keys == nullptr || code >= count) return 0;
    if (code == SDL_SCANCODE_ESCAPE && escape_held_from_open) return -1;
    return keys[code] != 0 ? -1 : 0;
}

bool key_pressed(int scancode) {
    if (!window_enabled()) return false;
    take_events();
    if (scancode <= 0 || static_cast<size_t>(scancode) >= scancode_table.size()) return false;
    const SDL_Scancode code = scancode_table[static_cast<size_t>(scancode)];
    if (code == SDL_SCANCODE_UNKNOWN) return false;
    const bool pressed = pressed_since_asked[static_cast<size_t>(code)];
    pressed_since_asked[static_cast<size_t>(code)] = false;
    return pressed;
}

bool window_close_requested() {
    if (window_enabled()) take_events();
    return close_requested;
}

}  // namespace rt
