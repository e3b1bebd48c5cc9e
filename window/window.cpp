// The SDL window: a streaming texture the framebuffer is copied into on every present.
#include "window/window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>

#include "base/graphics_screen.h"
#include "window/window_events.h"

namespace rt {
namespace {

constinit SDL_Window* window = nullptr;
constinit SDL_Renderer* renderer = nullptr;
constinit SDL_Texture* texture = nullptr;
constinit int texture_width = 0;
constinit int texture_height = 0;
constinit bool escape_down_at_open = false;
std::string title = "softcube";

void window_close();

bool fail(std::string* why, const char* what) {
    if (why) *why = std::string(what) + ": " + SDL_GetError();
    window_close();
    return false;
}

const char* env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// The window systems named by the environment, in SDL's own order of preference. Left to
// itself SDL would fall back to its invisible "offscreen" driver when no display answers,
// and a window nobody can see is no window.
std::string window_systems() {
    std::string drivers;
    if (env("DISPLAY") != nullptr) drivers = "x11";
    if (env("WAYLAND_DISPLAY") != nullptr) drivers += drivers.empty() ? "wayland" : ",wayland";
    return drivers;
}

// SDL learns of a key from its press and release events only (on gaining the focus it picks up
// held modifiers, nothing else), so an Escape held since before the window existed would go
// unseen. On X the server is asked directly, once, as the window opens.
bool x11_escape_down() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return false;
    Display* display = info.info.x11.display;
    if (display == nullptr) return false;
    const KeyCode code = XKeysymToKeycode(display, XK_Escape);
    if (code == 0) return false;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    return (static_cast<unsigned char>(keys[code / 8]) & (1u << (code % 8))) != 0;
}

// Raising the window and waiting briefly for the focus lets the first frames' keys reach it.
// A window manager may keep the focus elsewhere; the wait is bounded and the program runs on.
void take_focus() {
    SDL_RaiseWindow(window);
    SDL_SetWindowInputFocus(window);
    const Uint64 give_up = SDL_GetTicks64() + 250;
    while (SDL_GetKeyboardFocus() != window && SDL_GetTicks64() < give_up) {
        SDL_PumpEvents();
        SDL_Delay(5);
    }
}

// The streaming texture the framebuffer is copied into, at the framebuffer's size.
bool make_texture(int width, int height) {
    if (texture != nullptr) SDL_DestroyTexture(texture);
    // BGRA32 names the byte order in memory: blue, green, red, alpha, as the framebuffer keeps it.
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_BGRA32, SDL_TEXTUREACCESS_STREAMING, width, height);
    texture_width = texture != nullptr ? width : 0;
    texture_height = texture != nullptr ? height : 0;
    if (texture == nullptr) return false;
    // The window shows the picture's colours; its alpha bytes are coverage, not transparency.
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    return true;
}

bool window_open(uint32_t width, uint32_t height, std::string* why) {
    if (window != nullptr) return true;
    // An explicitly chosen SDL video driver is the user's business.
    if (env("SDL_VIDEODRIVER") == nullptr) {
        const std::string drivers = window_systems();
        if (drivers.empty()) {
            if (why) *why = "no display: DISPLAY and WAYLAND_DISPLAY are not set";
            return false;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    // Closing the window must reach the program as a quit request, not be swallowed.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (why) {
            const char* x11 = env("DISPLAY");
            const char* wayland = env("WAYLAND_DISPLAY");
            *why = std::string("cannot reach the display ") +
                   (x11 != nullptr       ? x11
                    : wayland != nullptr ? wayland
                                         : "") +
                   ": " + SDL_GetError();
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
        return false;
    }
    window =
        SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, static_cast<int>(width),
                         static_cast<int>(height), SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window == nullptr) return fail(why, "cannot create the window");
    SDL_SetWindowMinimumSize(window, static_cast<int>(window_min_side), static_cast<int>(window_min_side));
    renderer = SDL_CreateRenderer(window, -1, 0);
    if (renderer == nullptr) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (renderer == nullptr) return fail(why, "cannot create a renderer");
    // BGRA32 names the byte order in memory: blue, green, red, alpha, as the framebuffer keeps it.
    if (!make_texture(static_cast<int>(width), static_cast<int>(height))) {
        return fail(why, "cannot create the window's texture");
    }
    take_focus();
    escape_down_at_open = x11_escape_down();
    return true;
}

void window_present(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t first_row, uint32_t last_row) {
    if (renderer == nullptr || first_row > last_row || last_row >= height) return;
    // A framebuffer of another size (the window was resized) gets a texture of its size, so
    // the picture is shown pixel for pixel, never stretched.
    if ((static_cast<int>(width) != texture_width || static_cast<int>(height) != texture_height) &&
        !make_texture(static_cast<int>(width), static_cast<int>(height))) {
        return;
    }
    const int pitch = static_cast<int>(width * 4);
    const SDL_Rect rows{0, static_cast<int>(first_row), static_cast<int>(width),
                        static_cast<int>(last_row - first_row + 1)};
    SDL_UpdateTexture(texture, &rows, pixels + static_cast<size_t>(first_row) * width * 4, pitch);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

void window_close() {
    if (texture != nullptr) SDL_DestroyTexture(texture);
    if (renderer != nullptr) SDL_DestroyRenderer(renderer);
    if (window != nullptr) SDL_DestroyWindow(window);
    const bool was_started = window != nullptr || renderer != nullptr || texture != nullptr;
    texture = nullptr;
    texture_width = texture_height = 0;
    renderer = nullptr;
    window = nullptr;
    escape_down_at_open = false;
    if (was_started || SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    }
}

// The window as the graphics screen sees it.
class window_presenter_t final : public base::screen_presenter_t {
public:
    void present(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t first_row,
                 uint32_t last_row) override {
        window_present(pixels, width, height, first_row, last_row);
    }
    void detach() override { window_close(); }
};

constinit window_presenter_t presenter;

}  // namespace

bool enable_window(std::string* why) {
    if (base::screen_framebuffer() == nullptr) {
        if (why) *why = "no screen is open";
        return false;
    }
    if (window != nullptr) return true;
    if (!window_open(base::screen_width(), base::screen_height(), why)) return false;
    base::set_screen_presenter(&presenter);
    return true;
}

bool window_enabled() { return window != nullptr; }

void set_window_title(const std::string& new_title) {
    title = new_title;
    if (window != nullptr) SDL_SetWindowTitle(window, title.c_str());
}

window_size_t window_size() {
    window_size_t size;
    if (window == nullptr) return size;
    size.minimised = (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
    int w = 0, h = 0;
    if (renderer == nullptr || SDL_GetRendererOutputSize(renderer, &w, &h) != 0) SDL_GetWindowSize(window, &w, &h);
    size.width = static_cast<uint32_t>(std::max(w, 0));
    size.height = static_cast<uint32_t>(std::max(h, 0));
    return size;
}

bool window_size_changed() {
    detail::window_events_t& events = detail::take_window_events();
    const bool changed = events.size_changed;
    events.size_changed = false;
    return changed;
}

void wait_for_window_event(int milliseconds) {
    if (window != nullptr) detail::take_window_events(milliseconds);
}

namespace detail {

bool escape_was_down_at_open() { return escape_down_at_open; }

}  // namespace detail
}  // namespace rt
