// Texture pictures from files: BMP through the runtime's image buffers, PNG, JPEG and TGA through its decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "surfaces/texture.h"

// Replaces the texture's size and contents with those of a BMP file (depth becomes 32): the
// size is read from the file's information header (byte offsets 18 and 22) through the
// runtime's file numbers, the pixels through an image buffer. On failure (missing,
// unreadable, truncated, not a BMP, zero height, a side beyond rt::image_max_side, or
// otherwise malformed) false is returned and the texture keeps its previous width, height,
// depth and texel bytes unchanged.
bool load_texture(texture_t& texture, const char* file_name);

// Any picture file (BMP, PNG, JPEG or TGA), read as rt::picture_load reads it: a FIFO or
// device is refused without waiting on it. On failure false with a one-line reason in *why,
// the texture unchanged as with load_texture.
bool load_texture_picture(texture_t& texture, const char* file_name, std::string* why);

// Encoded BMP, PNG, JPEG or TGA bytes, as a glTF file may hold them; failure as load_texture_picture.
bool decode_texture_picture(texture_t& texture, const uint8_t* bytes, size_t size, std::string* why);
