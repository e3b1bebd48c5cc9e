// Decoding PNG, JPEG and TGA pictures into image buffers, through SDL2_image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/image.h"

namespace rt {

// The most texels a decoded picture may have (64 MB of image buffer); larger pictures are
// refused from their header, before anything is decoded or allocated.
constexpr int64_t picture_max_texels = int64_t{4096} * 4096;
// The largest picture file picture_load reads.
constexpr uint64_t picture_max_file_bytes = uint64_t{256} << 20;

// Decodes encoded picture bytes into a new image buffer in bmp_load's layout (blue, green, red,
// alpha; alpha 255 without an alpha channel; top row first). BMP (decoded as bmp_decode does),
// PNG and JPEG are known by their signatures; anything else is tried as TGA when its header is
// plausible. The size is read from the header first and refused beyond image_max_side per side
// or picture_max_texels in all. On failure returns nullptr with a one-line reason in *why,
// which never states the picture's own size.
image_t* picture_decode(const uint8_t* bytes, size_t size, std::string* why);

// picture_decode of a regular file's bytes (read as read_regular_file reads them, at most
// picture_max_file_bytes); a missing, unreadable or oversized file, or one that is not a
// regular file, is refused without waiting on it.
image_t* picture_load(const char* file_name, std::string* why);

}  // namespace rt
