// Text on the graphics screen: a character cursor and printing in the built-in font.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/formatted_print.h"

namespace base {

// Default text colour, 0xAARRGGBB: opaque white, readable over dark and mid-tone pictures.
constexpr uint32_t text_colour = 0xFFFFFFFF;

// Puts the cursor at a 1-based character row and column; row 1, column 1 is the top-left
// 8 x 8 cell. Values below 1 count as 1.
void text_cursor(int row, int column);
int text_cursor_row();
int text_cursor_column();

// Draws the text at the cursor, one cell per character, only the ink pixels (the picture
// shows through between strokes), and moves the cursor past it. "\n" moves it to column 1 of
// the next row. Text beyond the right or bottom edge is clipped: nothing wraps or scrolls and
// nothing is written outside the framebuffer.
void print_text(std::string_view text);

// Draws one line of text with its top-left corner at pixel (left, top) of a BGRA buffer of
// width x height pixels (rows width * 4 apart), one cell per character, only the ink pixels;
// what falls outside the buffer is clipped. Needs no screen and keeps no state, so any
// thread may draw into its own buffer.
void draw_text(uint8_t* pixels, uint32_t width, uint32_t height, int64_t left, int64_t top, std::string_view text);

// Formatted print: format_fields of the format and values, drawn at the cursor, then a line
// break. Returns the text it drew (without the line break).
std::string print_using(std::string_view format, std::initializer_list<print_value> values);

}  // namespace base
