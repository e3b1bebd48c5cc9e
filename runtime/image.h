// Image buffers and BMP loading into them.
#pragma once

#include <cstdint>

namespace rt {

struct image_t;

// A width x height image of 32 bits per pixel filled with the colour, or nullptr on failure
// (including sizes of zero, negative or absurdly large).
image_t* image_create(int32_t width, int32_t height, uint32_t fill_colour, int bits_per_pixel);

// Loads a BMP file into the image: 4 bytes per pixel blue, green, red, alpha; alpha 255 for
// files without an alpha channel; row 0 is the picture's top row whatever the file's row
// order. Returns false when the file is missing, unreadable, malformed, or its size differs
// from the image's; the image is then left as it was.
bool bmp_load(const char* file_name, image_t* image);

struct image_info_t {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytes_per_pixel = 0;
    int32_t pitch = 0;         // bytes from one row to the next
    uint8_t* pixels = nullptr;
    int64_t size = 0;          // bytes
};
image_info_t image_query(const image_t* image);

void image_destroy(image_t* image);

}  // namespace rt
