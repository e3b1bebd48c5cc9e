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
// alpha; alpha 255 without an alpha channel; top row first). PNG and JPEG are known by their
// signatures; anything else is tried as TGA when its header is plausible (BMP files have
// bmp_load). The size
// is read from the header first and refused beyond image_max_side per side or
// picture_max_texels in all. On failure returns nullptr with a one-line reason in *why.
image_t* picture_decode(const uint8_t* bytes, size_t size, std::string* why);

// picture_decode of a file's bytes; missing, unreadable or oversized files are refused.
image_t* picture_load(const char* file_name, std::string* why);

}  // namespace rt
