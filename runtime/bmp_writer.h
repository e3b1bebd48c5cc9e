// encode_bmp: BMP files built in memory, in every layout the loader reads, for screenshots, asset tools and tests.
#pragma once

#include <cstdint>
#include <vector>

namespace rt {

// bits 1, 4 or 8 (a palette of the picture's colours in order of first appearance), 16
// (5-5-5), 24 or 32; information header of 40, 108 or 124 bytes, the longer two tagged sRGB
// (and, at 124, rendered for pictures); bit-field masks (32 bits only) after a 40-byte header
// or inside a longer one.
struct bmp_layout_t {
    int bits = 24;
    uint32_t info_size = 40;
    bool top_down = false;
    bool bitfields = false;
    uint32_t gap = 0;  // extra bytes between the tables and the pixel rows
    uint32_t masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};  // red, green, blue, alpha
};

// The whole file for width x height BGRA pixels (rows width * 4 apart, top row first).
// Rows are padded to 4 bytes with zeros, 72 dots per inch are declared, and alpha is
// dropped by every layout without an alpha mask.
std::vector<uint8_t> encode_bmp(const uint8_t* bgra, uint32_t width, uint32_t height, const bmp_layout_t& layout);

}  // namespace rt
