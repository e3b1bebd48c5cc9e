// Image buffers and BMP loading into them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rt {

struct image_t;

// The largest width or height an image buffer (and so a loadable BMP) may have. A real
// texture is far smaller; the limit keeps a hostile header from asking for gigabytes.
constexpr int32_t image_max_side = 16384;

// A width x height image of 32 bits per pixel filled with the colour (0xAARRGGBB), rows
// exactly width * 4 bytes apart, or nullptr on failure (including sizes of zero, negative
// or beyond image_max_side, any other bit count, or no memory).
image_t* image_create(int32_t width, int32_t height, uint32_t fill_colour, int bits_per_pixel);

// Checks a BMP file's headers against the file's length without decoding the pixels:
// true when bmp_load would accept it, with its width and height (the height as stored,
// negative for a top-down file). Cheap: reads the headers only. Lets a caller refuse a
// truncated or hostile file before creating an image buffer of the declared size.
bool bmp_probe(const char* file_name, int32_t* width, int32_t* height);

// Loads a BMP file into the image: 4 bytes per pixel blue, green, red, alpha; alpha 255 for
// files without an alpha channel; row 0 is the picture's top row whatever the file's row
// order. Returns false when the file is missing, unreadable, malformed, or its size differs
// from the image's; the image is then left as it was.
// Accepted: BITMAPINFOHEADER and its V2..V5 extensions (header sizes 40, 52, 56, 108, 124),
// one plane, 1/4/8-bit palettes and 16/24/32-bit pixels, uncompressed or with bit-field
// masks. Refused: OS/2 headers, run-length and embedded JPEG/PNG compression, and any file
// whose palette or pixel rows would reach past its end. A 32-bit file without bit-field
// masks whose fourth bytes are all zero is taken as opaque (alpha 255), as older writers
// leave that byte 0; as soon as one fourth byte is non-zero they are used as alpha.
bool bmp_load(const char* file_name, image_t* image);

// The width and height of BMP bytes that bmp_decode would accept (the height as a row count),
// read from the headers after the same checks as bmp_probe's, without decoding the pixels.
bool bmp_size(const uint8_t* bytes, size_t size, int32_t* width, int32_t* height);

// BMP bytes held in memory decoded into a new image as bmp_load decodes a file; nullptr when
// bmp_load would refuse them.
image_t* bmp_decode(const uint8_t* bytes, size_t size);

struct image_info_t {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytes_per_pixel = 0;
    int32_t pitch = 0;  // bytes from one row to the next
    uint8_t* pixels = nullptr;
    int64_t size = 0;  // bytes
};
// All zero for a null image.
image_info_t image_query(const image_t* image);

// Releases the image and its pixels; null is ignored.
void image_destroy(image_t* image);

}  // namespace rt
