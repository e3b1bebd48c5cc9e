// Text on the screen: the font's glyphs, the cursor and clipping (the formatted print is tested through the overlay).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "base/font.h"
#include "base/graphics_screen.h"
#include "base/text.h"

namespace {

// A run of 8 x 8 cells of the w-pixel-wide framebuffer, row by row, as '#' where the blue byte
// is 255 (ink) and '.' elsewhere; and the same for text as the font draws it.
std::string drawn(const uint8_t* fb, uint32_t w, uint32_t left, uint32_t top, size_t cells) {
    std::string s;
    for (uint32_t y = top; y < top + 8; ++y) {
        for (uint32_t x = left; x < left + 8 * cells; ++x) s += fb[(y * w + x) * 4] == 255 ? '#' : '.';
    }
    return s;
}
std::string glyphs(std::string_view text) {
    std::string s;
    for (int y = 0; y < 8; ++y) {
        for (unsigned char c : text)
            for (int x = 0; x < 8; ++x) s += (base::font_glyph(c)[y] & (0x80 >> x)) != 0 ? '#' : '.';
    }
    return s;
}

}  // namespace

TEST(Font, EveryPrintableGlyphIsDistinctInkedAndClearOfItsNeighbours) {
    std::set<std::vector<uint8_t>> seen;
    for (int c = 32; c <= 126; ++c) {
        const uint8_t* g = base::font_glyph(static_cast<unsigned char>(c));
        seen.insert(std::vector<uint8_t>(g, g + 8));
        int bits = 0;
        for (int y = 0; y < 8; ++y)
            bits += __builtin_popcount(g[y]) + 100 * ((g[y] & 0x83) != 0);  // columns 0, 6, 7 empty
        EXPECT_TRUE(c == ' ' ? bits == 0 : bits > 0 && bits < 100) << "character " << c;
    }
    EXPECT_EQ(seen.size(), 95u);
    for (const int c : {0, 31, 127, 255})
        EXPECT_EQ(base::font_glyph(static_cast<unsigned char>(c)), base::font_glyph('?')) << "character " << c;
}

TEST(Text, GlyphsAtTheCursorOnlyInkWrittenClippedAtTheEdges) {
    uint8_t* fb = base::screen_open(20, 20, 32, 2, 0);
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(std::pair(base::text_cursor_row(), base::text_cursor_column()), std::pair(1, 1));
    base::print_text("A\ng");
    EXPECT_EQ(drawn(fb, 20, 0, 0, 1) + drawn(fb, 20, 0, 8, 1), glyphs("A") + glyphs("g"));
    EXPECT_EQ(std::pair(base::text_cursor_row(), base::text_cursor_column()), std::pair(2, 2));
    base::text_cursor(2, 2);
    base::print_text("#");
    EXPECT_EQ(drawn(fb, 20, 8, 8, 1), glyphs("#"));
    base::text_cursor(0, -5);  // clamped to the top-left cell
    EXPECT_EQ(std::pair(base::text_cursor_row(), base::text_cursor_column()), std::pair(1, 1));

    // The paper between strokes keeps the picture; partial cells (the third column, the third
    // row) and rows below the screen are never drawn, and nothing wraps.
    std::memset(fb, 7, 20 * 20 * 4);
    base::print_text("IIIIIIIIIIIIIIIIIIIIIIIIIIIIIIII\n\nIIII\nIIII");
    const std::string two = glyphs("II");
    EXPECT_EQ(drawn(fb, 20, 0, 0, 2), two);
    size_t ink = 0;
    for (size_t i = 0; i < 20 * 20 * 4; i += 4) ink += fb[i] != 7;
    EXPECT_EQ(ink, static_cast<size_t>(std::count(two.begin(), two.end(), '#')));
    base::screen_close(0);
    base::print_text("no screen");  // harmless
}
