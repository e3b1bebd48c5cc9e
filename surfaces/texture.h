// texture_t: a tightly packed picture of 4-byte texels (blue, green, red, transparency).
#pragma once

#include <cstddef>
#include <cstdint>

// The largest width or height a texture takes; the constructor clamps to it and pictures
// beyond it are refused, so a hostile header cannot ask for gigabytes.
constexpr uint32_t texture_max_side = 16384;

// Texel (x, y) starts at byte (x + y * width) * (depth / 8); row 0 is the top of the picture.
// Once a picture is assigned the fourth byte is T = 255 - alpha: 0 is opaque. Pictures come
// from files through model/texture_files.h.
struct texture_t {
    uint8_t* pixels = nullptr;  // owned
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t depth = 0;  // bits per texel

    // Sides are clamped to 1 .. texture_max_side and depth to 8 .. 32; the texels start zero.
    texture_t(uint32_t width, uint32_t height, uint32_t depth);
    ~texture_t();
    texture_t(const texture_t&) = delete;
    texture_t& operator=(const texture_t&) = delete;

    // Replaces size and contents with a picture of w x h pixels of 4 bytes (blue, green, red,
    // alpha), rows pitch bytes apart, top row first: depth becomes 32 and each texel's fourth
    // byte 255 - alpha. False, with the texture unchanged, for an empty or oversized picture
    // or when no memory is left.
    bool assign_picture(uint32_t w, uint32_t h, size_t pitch, const uint8_t* bgra);

    uint32_t get_width() const { return width; }
    uint32_t get_height() const { return height; }
    uint32_t get_bytes_per_texel() const { return depth / 8; }
    uint8_t* get_pixels() const { return pixels; }
};
