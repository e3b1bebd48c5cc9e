// Text cursor and glyph drawing into the screen's framebuffer or any other.
#include "base/text.h"

#include <span>

#include "base/font.h"
#include "base/graphics_screen.h"

namespace base {
namespace {

constinit int cursor_row = 1;     // 1-based
constinit int cursor_column = 1;  // 1-based; may run past the right edge

void draw_glyph(uint8_t* pixels, int64_t width, int64_t height, unsigned char c, int64_t left, int64_t top) {
    if (pixels == nullptr) return;
    const uint8_t* rows = font_glyph(c);
    for (int r = 0; r < font_cell_height; ++r) {
        const int64_t y = top + r;
        if (y < 0 || y >= height) continue;
        for (int col = 0; col < font_cell_width; ++col) {
            if ((rows[r] & (0x80 >> col)) == 0) continue;
            const int64_t x = left + col;
            if (x < 0 || x >= width) continue;
            uint8_t* p = pixels + (y * width + x) * 4;
            p[0] = static_cast<uint8_t>(text_colour);
            p[1] = static_cast<uint8_t>(text_colour >> 8);
            p[2] = static_cast<uint8_t>(text_colour >> 16);
            p[3] = static_cast<uint8_t>(text_colour >> 24);
        }
    }
}

}  // namespace

void text_cursor(int row, int column) {
    cursor_row = row < 1 ? 1 : row;
    cursor_column = column < 1 ? 1 : column;
}

int text_cursor_row() { return cursor_row; }
int text_cursor_column() { return cursor_column; }

void print_text(std::string_view text) {
    const int64_t columns = screen_width() / font_cell_width;
    const int64_t rows = screen_height() / font_cell_height;
    for (const char ch : text) {
        if (ch == '\n') {
            if (cursor_row < rows + 1) ++cursor_row;
            cursor_column = 1;
            continue;
        }
        if (cursor_row <= rows && cursor_column <= columns) {
            draw_glyph(screen_framebuffer(), screen_width(), screen_height(), static_cast<unsigned char>(ch),
                       int64_t{cursor_column - 1} * font_cell_width, int64_t{cursor_row - 1} * font_cell_height);
        }
        // The column stops one past the edge, so a very long line cannot overflow the counter.
        if (cursor_column <= columns) ++cursor_column;
    }
}

void draw_text(uint8_t* pixels, uint32_t width, uint32_t height, int64_t left, int64_t top, std::string_view text) {
    for (const char ch : text) {
        if (left >= int64_t{width}) break;
        draw_glyph(pixels, width, height, static_cast<unsigned char>(ch), left, top);
        left += font_cell_width;
    }
}

std::string print_using(std::string_view format, std::initializer_list<print_value> values) {
    std::string text = format_fields(format, std::span<const print_value>(values.begin(), values.size()));
    print_text(text);
    print_text("\n");
    return text;
}

}  // namespace base
