// The built-in 8 x 8 bitmap font of printable ASCII.
#pragma once

#include <cstdint>

namespace base {

constexpr int font_cell_width = 8;
constexpr int font_cell_height = 8;

// Eight rows, top first, of the character's 8 x 8 cell; bit 7 is the leftmost pixel.
// Characters outside printable ASCII (32 .. 126) are drawn as "?".
const uint8_t* font_glyph(unsigned char c);

}  // namespace base
