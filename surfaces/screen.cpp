// screen_t: construction over the graphics screen or its own memory, field of view and clearing.
#include "surfaces/screen.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/fill_words.h"
#include "base/graphics_screen.h"

namespace {

constexpr float pi_single = 3.14159274f;
constexpr float far_depth = 1.0e37f;

// Below this many rows a clear is not worth waking the workers for.
constexpr uint64_t parallel_clear_rows = 64;

bool usable_size(uint32_t width, uint32_t height) {
    return width != 0 && height != 0 && width <= base::screen_max_side && height <= base::screen_max_side;
}

}  // namespace

screen_t::screen_t() : screen_t(800, 600, 90.0f) {}

// Sizes the runtime cannot open (zero, or a side above base::screen_max_side) and failed
// allocations leave an empty 0 x 0 target, on which clearing and drawing do nothing.
screen_t::screen_t(uint32_t w, uint32_t h, float field_of_view) : fov(field_of_view) {
    attach(base::screen_open(w, h, 32, 2, base::screen_option_alpha_primitives), w, h);
}

screen_t::screen_t(uint32_t w, uint32_t h, float field_of_view, offscreen_tag) : fov(field_of_view) {
    if (!usable_size(w, h)) return;
    uint8_t* own = new (std::nothrow) uint8_t[static_cast<size_t>(w) * h * 4]();
    if (attach(own, w, h)) {
        own_framebuffer_ = own;
    } else {
        delete[] own;
    }
}

bool screen_t::attach(uint8_t* pixels, uint32_t w, uint32_t h) {
    if (pixels == nullptr) return false;
    float* depth = new (std::nothrow) float[static_cast<size_t>(w) * h]();
    if (depth == nullptr) return false;
    framebuffer = pixels;
    width = w;
    height = h;
    bytes_per_pixel = 4;
    zbuffer_size = h * w * 4;
    zbuffer = depth;
    return true;
}

// The runtime's screen is closed by the main program, not here.
screen_t::~screen_t() {
    delete[] zbuffer;
    delete[] own_framebuffer_;
}

void screen_t::set_fov(float degrees) {
    const long double radians = static_cast<long double>(degrees) * static_cast<long double>(pi_single) / 180.0L;
    fov = static_cast<float>(radians);
}

namespace {

uint32_t packed_colour(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
    return (alpha & 0xFF) << 24 | (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}

}  // namespace

// The box from (0, 0) to (width, height) touches every pixel once, and each pixel's new value
// depends only on its old one, so the rows can be cleared in shares by the workers: the box of
// a share runs from its first row to its last, both included.
void screen_t::clear_colour_rows(uint64_t first, uint64_t end, uint32_t colour) {
    if (first == end) return;
    const float right = static_cast<float>(width);
    const auto top = static_cast<float>(first);
    const auto bottom = static_cast<float>(end - 1);
    if (own_framebuffer_ != nullptr) {
        base::fill_box_on(own_framebuffer_, width, height, true, 0.0f, top, right, bottom, colour);
    } else if (framebuffer != nullptr) {
        base::fill_box(0.0f, top, right, bottom, colour);
    }
}

void screen_t::clear_depth_rows(uint64_t first, uint64_t end) {
    if (zbuffer == nullptr) return;
    uint8_t far_bytes[4];
    std::memcpy(far_bytes, &far_depth, 4);
    base::fill_words(zbuffer + first * width, static_cast<size_t>(end - first) * width, far_bytes);
}

void screen_t::clear(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
    const uint32_t colour = packed_colour(alpha, red, green, blue);
    base::for_each_share(threads, height, parallel_clear_rows,
                         [&](uint64_t first, uint64_t end) { clear_colour_rows(first, end, colour); });
    triangle_count = 0;
    pixel_count = 0;
}

void screen_t::clear_zbuffer() {
    if (zbuffer == nullptr) return;
    base::for_each_share(threads, height, parallel_clear_rows,
                         [&](uint64_t first, uint64_t end) { clear_depth_rows(first, end); });
}

void screen_t::clear_frame(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
    const uint32_t colour = packed_colour(alpha, red, green, blue);
    base::for_each_share(threads, height, parallel_clear_rows, [&](uint64_t first, uint64_t end) {
        clear_colour_rows(first, end, colour);
        clear_depth_rows(first, end);
    });
    triangle_count = 0;
    pixel_count = 0;
}
