// screen_t: construction over the graphics screen or its own memory, and clearing in shares.
#include "surfaces/screen.h"

#include "base/graphics_screen.h"

namespace {

// Below this many rows a clear is not worth waking the workers for.
constexpr uint64_t parallel_clear_rows = 64;

uint32_t packed_colour(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
    return (alpha & 0xFF) << 24 | (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}

}  // namespace

screen_t::screen_t() : screen_t(800, 600, 90.0f) {}

// Sizes the runtime cannot open (zero, or a side above base::screen_max_side) and failed
// allocations leave an empty 0 x 0 target, on which clearing and drawing do nothing.
screen_t::screen_t(uint32_t w, uint32_t h, float field_of_view)
    : render_target_t(base::screen_open(w, h, 32, 2, base::screen_option_alpha_primitives), w, h) {
    fov = field_of_view;
}

screen_t::screen_t(uint32_t w, uint32_t h, float field_of_view, offscreen_tag) : render_target_t(w, h) {
    fov = field_of_view;
}

// The runtime's screen is painted through its own primitive; the box from (0, 0) to
// (width, height) touches every pixel once.
void screen_t::paint_screen_rows(uint64_t first, uint64_t end, uint32_t argb) {
    if (owns_framebuffer()) {
        paint_rows(first, end, argb);
    } else if (framebuffer != nullptr && first < end) {
        base::fill_box(0.0f, static_cast<float>(first), static_cast<float>(width), static_cast<float>(end - 1), argb);
    }
}

void screen_t::clear(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
    const uint32_t colour = packed_colour(alpha, red, green, blue);
    base::for_each_share(threads, height, parallel_clear_rows,
                         [&](uint64_t first, uint64_t end) { paint_screen_rows(first, end, colour); });
    reset_counters();
}

void screen_t::clear_zbuffer() {
    if (zbuffer == nullptr) return;
    base::for_each_share(threads, height, parallel_clear_rows,
                         [&](uint64_t first, uint64_t end) { clear_depth_rows(first, end); });
}

void screen_t::clear_frame(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
    const uint32_t colour = packed_colour(alpha, red, green, blue);
    base::for_each_share(threads, height, parallel_clear_rows, [&](uint64_t first, uint64_t end) {
        paint_screen_rows(first, end, colour);
        clear_depth_rows(first, end);
    });
    reset_counters();
}

bool screen_t::make_samples() {
    if (ssaa <= 1 || framebuffer == nullptr) {
        samples.reset();
        return ssaa <= 1;
    }
    const uint64_t w = uint64_t{width} * ssaa;
    const uint64_t h = uint64_t{height} * ssaa;
    if (samples != nullptr && samples->width == w && samples->height == h) return true;
    samples.reset();  // the old samples go before the new ones take their memory
    if (w > base::screen_max_side || h > base::screen_max_side) return false;
    auto made = std::make_unique<screen_t>(static_cast<uint32_t>(w), static_cast<uint32_t>(h), fov, offscreen_tag{});
    if (made->framebuffer == nullptr) return false;
    samples = std::move(made);
    return true;
}
