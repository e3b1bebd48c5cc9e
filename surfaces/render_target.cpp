// render_target_t: its buffers, the bounds-checked entries to the two blends, and clearing rows.
#include "surfaces/render_target.h"

#include <cstring>
#include <new>

#include "base/fill_words.h"
#include "base/graphics_screen.h"
#include "surfaces/pixel_blend.h"
#include "surfaces/texture.h"

namespace {

constexpr float far_depth = 1.0e37f;

bool usable_size(uint32_t width, uint32_t height) {
    return width != 0 && height != 0 && width <= base::screen_max_side && height <= base::screen_max_side;
}

}  // namespace

render_target_t::render_target_t(uint32_t w, uint32_t h) {
    if (!usable_size(w, h)) return;
    std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[static_cast<size_t>(w) * h * 4]());
    if (attach(pixels.get(), w, h)) own_pixels_ = std::move(pixels);
}

render_target_t::render_target_t(uint8_t* pixels, uint32_t w, uint32_t h) { attach(pixels, w, h); }

bool render_target_t::attach(uint8_t* pixels, uint32_t w, uint32_t h) {
    if (pixels == nullptr || !usable_size(w, h)) return false;
    own_depths_.reset(new (std::nothrow) float[static_cast<size_t>(w) * h]());
    if (own_depths_ == nullptr) return false;
    bytes_per_pixel = 4;
    framebuffer = pixels;
    width = w;
    height = h;
    zbuffer_size = h * w * 4;
    zbuffer = own_depths_.get();
    return true;
}

void render_target_t::draw_pixel(uint32_t x, uint32_t y, uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue,
                                 float shade) {
    // Negative coordinates arrive as large unsigned numbers and fail here too.
    if (x >= width || y >= height || framebuffer == nullptr) return;
    uint8_t* f = framebuffer + (static_cast<size_t>(y) * width + x) * 4;
    blend_vertex_colour(f, alpha, red, green, blue, shade);
}

void render_target_t::draw_texel(int32_t x, int32_t y, int32_t tx, int32_t ty, const texture_t& texture,
                                 const vec4_t& colour, float shade) {
    const auto ux = static_cast<uint32_t>(x);
    const auto uy = static_cast<uint32_t>(y);
    if (ux >= width || uy >= height || framebuffer == nullptr) return;
    // A texel outside the texture wraps like the span filler's addressing; a texture of
    // fewer than 4 bytes per texel supplies the bytes it has and zeros for the rest.
    uint8_t texel[4] = {0, 0, 0, 0};
    if (texture.pixels != nullptr && texture.width != 0 && texture.height != 0) {
        const uint32_t bpt = texture.get_bytes_per_texel();
        const uint32_t col = static_cast<uint32_t>(tx) % texture.width;
        const uint32_t row = static_cast<uint32_t>(ty) % texture.height;
        const uint8_t* src = texture.pixels + (static_cast<size_t>(row) * texture.width + col) * bpt;
        std::memcpy(texel, src, bpt < 4 ? bpt : 4);
    }
    uint8_t* f = framebuffer + (static_cast<size_t>(uy) * width + ux) * 4;
    blend_texel(f, texel, colour, shade);
}

void render_target_t::clear_depth_rows(uint64_t first, uint64_t end) {
    if (zbuffer == nullptr || first >= end) return;
    uint8_t far_bytes[4];
    std::memcpy(far_bytes, &far_depth, 4);
    base::fill_words(zbuffer + first * width, static_cast<size_t>(end - first) * width, far_bytes);
}

// The box of a share runs from its first row to its last, both included.
void render_target_t::paint_rows(uint64_t first, uint64_t end, uint32_t argb) {
    if (first >= end) return;
    base::fill_box_on(framebuffer, width, height, true, 0.0f, static_cast<float>(first), static_cast<float>(width),
                      static_cast<float>(end - 1), argb);
}
