// texture_t: a tightly packed picture of 4-byte texels (blue, green, red, transparency).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest width or height a texture takes; the constructor clamps to it and pictures
// beyond it are refused, so a hostile header cannot ask for gigabytes.
constexpr uint32_t texture_max_side = 16384;

// One level of a texture's mip chain: width x height texels of 4 bytes, tightly packed, from
// mip_texels[offset].
struct mip_level_t {
    uint32_t width = 0;
    uint32_t height = 0;
    size_t offset = 0;
};

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
    // byte 255 - alpha; then builds the mip chain. False, with the texture unchanged, for an
    // empty or oversized picture or when no memory is left.
    bool assign_picture(uint32_t w, uint32_t h, size_t pitch, const uint8_t* bgra);

    // The mip chain that trilinear filtering reads, built once when a picture is assigned (or
    // by build_mips() after the texels are written by hand), never while drawing. Level k + 1
    // is max(1, w / 2) x max(1, h / 2) texels for level k's w x h (level 0: the texels
    // themselves), down to 1 x 1; each of its texels' four bytes is the average of that byte
    // of the 2 x 2 texels (2x, 2y) to (2x + 1, 2y + 1) of level k (a coordinate beyond a side
    // of 1 taken as 0, so an odd side's last column or row is left out), the sum of four
    // divided by 4 and rounded to the nearest, ties to even. Only 32-bit textures have levels.
    // build_mips() is false, with no levels, when there is no memory for them.
    std::vector<mip_level_t> mip_levels;  // levels 1, 2, ... in order
    std::vector<uint8_t> mip_texels;
    bool build_mips();

    uint32_t get_width() const { return width; }
    uint32_t get_height() const { return height; }
    uint32_t get_bytes_per_texel() const { return depth / 8; }
    uint8_t* get_pixels() const { return pixels; }
};
