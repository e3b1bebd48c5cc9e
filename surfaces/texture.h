// texture_t: a tightly packed picture of 4-byte texels (blue, green, red, transparency) loaded from a BMP file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rt {
struct image_t;
}

// Texel (x, y) starts at byte (x + y * width) * (depth / 8); row 0 is the top of the picture.
// After load the fourth byte is T = 255 - alpha: 0 is opaque.
struct texture_t {
    uint8_t* pixels = nullptr;  // owned
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t depth = 0;  // bits per texel

    // Sides are clamped to 1 .. rt::image_max_side and depth to 8 .. 32; the texels start zero.
    texture_t(uint32_t width, uint32_t height, uint32_t depth);
    ~texture_t();
    texture_t(const texture_t&) = delete;
    texture_t& operator=(const texture_t&) = delete;

    // Replaces size and contents with those of a BMP file (depth becomes 32). On failure
    // (missing, unreadable, truncated, not a BMP, zero height, a side beyond
    // rt::image_max_side, or otherwise malformed) false is returned and the texture keeps
    // its previous width, height, depth and texel bytes unchanged.
    bool load(const char* file_name);

    // Any picture file (BMP, PNG, JPEG or TGA), read as rt::picture_load reads it: a FIFO or
    // device is refused without waiting on it. On failure false with a one-line reason in
    // *why, the texture unchanged as with load.
    bool load_picture(const char* file_name, std::string* why);
    // Encoded BMP, PNG, JPEG or TGA bytes, as a glTF file may hold them; failure as load_picture.
    bool decode_picture(const uint8_t* bytes, size_t size, std::string* why);

    uint32_t get_width() const { return width; }
    uint32_t get_height() const { return height; }
    uint32_t get_bytes_per_texel() const { return depth / 8; }
    uint8_t* get_pixels() const { return pixels; }

private:
    // Takes over a decoded image's size and texels (transparency = 255 - alpha); false, with
    // the texture unchanged, when the image is null or no memory is left. Destroys the image.
    bool adopt(rt::image_t* image);
};
