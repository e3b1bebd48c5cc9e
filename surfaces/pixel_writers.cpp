// screen_t's pixel writers: bounds-checked entries to the two blends.
#include <cstring>

#include "surfaces/pixel_blend.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

void screen_t::draw_pixel(uint32_t x, uint32_t y, uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue,
                          float shade) {
    // Negative coordinates arrive as large unsigned numbers and fail here too.
    if (x >= width || y >= height || framebuffer == nullptr) return;
    uint8_t* f = framebuffer + (static_cast<size_t>(y) * width + x) * 4;
    blend_vertex_colour(f, alpha, red, green, blue, shade);
}

void screen_t::draw_texel(int32_t x, int32_t y, int32_t tx, int32_t ty, const texture_t& texture, const vec4_t& colour,
                          float shade) {
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
