// The graphics screen: one framebuffer in memory, shown in an SDL window when one is enabled.
#pragma once

#include <cstdint>
#include <string>

namespace rt {

// Option bit of screen_open: drawing primitives blend their colour over the old pixel by its alpha.
constexpr int screen_option_alpha_primitives = 64;

// Largest side screen_open and the offscreen targets accept; bigger or zero sizes give no screen.
constexpr uint32_t screen_max_side = 16384;

// Allocates the screen's framebuffer (BGRA bytes, rows width * 4 apart, zero-filled) and
// returns its address, valid until screen_close. Never touches a display: the window is
// created by enable_window. Opening again replaces the previous screen. Only 32 bits per
// pixel exist; other depths, a zero side or a side above screen_max_side give nullptr.
uint8_t* screen_open(uint32_t width, uint32_t height, int bits_per_pixel, int pages, int options);
uint8_t* screen_framebuffer();
uint32_t screen_width();
uint32_t screen_height();

// Opens the SDL window for the current screen. On failure returns false and puts a
// one-line reason in *why; the screen keeps working offscreen.
bool enable_window(std::string* why);
bool window_enabled();
// The window's title bar text, applied now or when the window opens.
void set_window_title(const std::string& title);

// Locks nest; when the outermost lock is released the given lines (-1, -1: all) are shown.
// An unlock without a lock is ignored.
void screen_lock();
void screen_unlock(int first_line, int last_line);

// Filled box from (x1, y1) to (x2, y2), both corners included, clipped to the screen, colour
// 0xAARRGGBB, blended by its alpha when the screen was opened with screen_option_alpha_primitives.
void fill_box(float x1, float y1, float x2, float y2, uint32_t argb);

// The same primitive on any BGRA pixel buffer of width x height with rows width * 4 apart.
void fill_box_on(uint8_t* pixels, uint32_t width, uint32_t height, bool blend, float x1, float y1, float x2, float y2,
                 uint32_t argb);

// Text mode 0: closes the window and releases the framebuffer.
void screen_close(int text_mode);

}  // namespace rt
