// The memory framebuffer, its lock nesting, presentation and the filled-box primitive.
#include "base/graphics_screen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/fill_words.h"
#include "base/text.h"

namespace base {
namespace {

// Plain constant-initialised state: the global screen_t opens the screen during static
// initialisation, possibly before this file's dynamic initialisers would have run.
constinit uint8_t* framebuffer = nullptr;
constinit uint32_t width = 0;
constinit uint32_t height = 0;
constinit bool blend_primitives = false;
constinit int lock_depth = 0;
constinit screen_presenter_t* presenter = nullptr;

void release() {
    if (presenter != nullptr) {
        screen_presenter_t* closing = presenter;
        presenter = nullptr;
        closing->detach();
    }
    delete[] framebuffer;
    framebuffer = nullptr;
    width = 0;
    height = 0;
    blend_primitives = false;
    lock_depth = 0;
}

// Rounds a corner coordinate to a pixel index clamped to [-1, side]; -1 and side lie outside
// the screen, so a box entirely off one edge stays empty after clipping.
int64_t corner_index(float v, uint32_t side) {
    const float lo = -1.0f;
    const float hi = static_cast<float>(side);
    const float clamped = std::clamp(v, lo, hi);
    return static_cast<int64_t>(std::nearbyint(clamped));
}

inline uint8_t blend_channel(uint32_t src, uint32_t dst, uint32_t a) {
    return static_cast<uint8_t>((src * a + dst * (255 - a) + 127) / 255);
}

}  // namespace

uint8_t* screen_open(uint32_t w, uint32_t h, int bits_per_pixel, int /*pages*/, int options) {
    release();
    if (bits_per_pixel != 32 || w == 0 || h == 0 || w > screen_max_side || h > screen_max_side) return nullptr;
    const size_t bytes = static_cast<size_t>(w) * h * 4;
    framebuffer = new (std::nothrow) uint8_t[bytes]();
    if (framebuffer == nullptr) return nullptr;
    width = w;
    height = h;
    blend_primitives = (options & screen_option_alpha_primitives) != 0;
    text_cursor(1, 1);
    return framebuffer;
}

uint8_t* screen_framebuffer() { return framebuffer; }
uint32_t screen_width() { return width; }
uint32_t screen_height() { return height; }

void present_picture(const uint8_t* pixels, uint32_t w, uint32_t h) {
    if (presenter != nullptr && pixels != nullptr && w != 0 && h != 0) presenter->present(pixels, w, h, 0, h - 1);
}

void set_screen_presenter(screen_presenter_t* p) { presenter = p; }
screen_presenter_t* screen_presenter() { return presenter; }

void screen_lock() { ++lock_depth; }

void screen_unlock(int first_line, int last_line) {
    if (lock_depth == 0) return;
    if (--lock_depth != 0 || framebuffer == nullptr || presenter == nullptr) return;
    // -1 on either side means "from the top" / "to the bottom"; the rest is clipped.
    const int64_t last_row = static_cast<int64_t>(height) - 1;
    int64_t first = first_line < 0 ? 0 : first_line;
    int64_t last = last_line < 0 ? last_row : last_line;
    if (first > last) std::swap(first, last);
    last = std::min(last, last_row);
    if (first > last_row) return;
    presenter->present(framebuffer, width, height, static_cast<uint32_t>(first), static_cast<uint32_t>(last));
}

void fill_box_on(uint8_t* pixels, uint32_t w, uint32_t h, bool blend, float x1, float y1, float x2, float y2,
                 uint32_t argb) {
    if (pixels == nullptr || w == 0 || h == 0) return;
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) return;
    const int64_t left = std::max<int64_t>(corner_index(std::min(x1, x2), w), 0);
    const int64_t right = std::min<int64_t>(corner_index(std::max(x1, x2), w), w - 1);
    const int64_t top = std::max<int64_t>(corner_index(std::min(y1, y2), h), 0);
    const int64_t bottom = std::min<int64_t>(corner_index(std::max(y1, y2), h), h - 1);
    if (left > right || top > bottom) return;

    const uint32_t a = argb >> 24;
    const uint32_t r = (argb >> 16) & 0xFF;
    const uint32_t g = (argb >> 8) & 0xFF;
    const uint32_t b = argb & 0xFF;
    const uint8_t pixel[4] = {static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r),
                              static_cast<uint8_t>(a)};
    const size_t row_bytes = static_cast<size_t>(w) * 4;
    if ((!blend || a == 255) && left == 0 && right == w - 1) {
        // Whole rows: one run over the block of rows.
        fill_words(pixels + static_cast<size_t>(top) * row_bytes, static_cast<size_t>(bottom - top + 1) * w, pixel);
        return;
    }
    for (int64_t y = top; y <= bottom; ++y) {
        uint8_t* p = pixels + static_cast<size_t>(y) * row_bytes + static_cast<size_t>(left) * 4;
        uint8_t* end = p + static_cast<size_t>(right - left + 1) * 4;
        if (!blend || a == 255) {
            fill_words(p, static_cast<size_t>(end - p) / 4, pixel);
        } else {
            for (; p != end; p += 4) {
                p[0] = blend_channel(b, p[0], a);
                p[1] = blend_channel(g, p[1], a);
                p[2] = blend_channel(r, p[2], a);
                // The box's coverage composited over the old coverage.
                p[3] = static_cast<uint8_t>(a + (p[3] * (255 - a) + 127) / 255);
            }
        }
    }
}

void fill_box(float x1, float y1, float x2, float y2, uint32_t argb) {
    fill_box_on(framebuffer, width, height, blend_primitives, x1, y1, x2, y2, argb);
}

void screen_close(int /*text_mode*/) { release(); }

}  // namespace base
