// The graphics screen: one framebuffer in memory, shown by a presenter (the platform's window) when one is attached.
#pragma once

#include <cstdint>

namespace base {

// Option bit of screen_open: drawing primitives blend their colour over the old pixel by its alpha.
constexpr int screen_option_alpha_primitives = 64;

// Largest side screen_open and the offscreen targets accept; bigger or zero sizes give no screen.
constexpr uint32_t screen_max_side = 16384;

// Allocates the screen's framebuffer (BGRA bytes, rows width * 4 apart, zero-filled) and
// returns its address, valid until screen_close. Never touches a display: a window attaches
// itself as the presenter. Opening again replaces the previous screen. Only 32 bits per
// pixel exist; other depths, a zero side or a side above screen_max_side give nullptr.
uint8_t* screen_open(uint32_t width, uint32_t height, int bits_per_pixel, int pages, int options);
uint8_t* screen_framebuffer();
uint32_t screen_width();
uint32_t screen_height();

// What shows the framebuffer: the platform layer's window attaches one while it is open.
// Without one the screen works offscreen and an unlock shows nothing.
class screen_presenter_t {
public:
    // Rows first_row .. last_row (inclusive) of the BGRA framebuffer are to be shown.
    virtual void present(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t first_row,
                         uint32_t last_row) = 0;
    // The screen is closed or replaced: the presenter is detached and should close.
    virtual void detach() = 0;

protected:
    ~screen_presenter_t() = default;
};

// Shows a picture of any size through the attached presenter (nothing without one): for a
// frame drawn into a target of its own, as after the window was resized.
void present_picture(const uint8_t* pixels, uint32_t width, uint32_t height);

// Attaches the presenter (null detaches without telling the old one).
void set_screen_presenter(screen_presenter_t* presenter);
screen_presenter_t* screen_presenter();

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

}  // namespace base
