// Text on the screen: the font's glyphs, the cursor, clipping and the formatted print.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "runtime/font.h"
#include "runtime/screen.h"
#include "runtime/text.h"

namespace {

// True where the pixel holds the text colour.
bool inked(const uint8_t* fb, uint32_t width, uint32_t x, uint32_t y) {
    const uint8_t* p = fb + (static_cast<size_t>(y) * width + x) * 4;
    return p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 255;
}

// The cell-sized picture of the glyph as it should appear.
bool glyph_bit(unsigned char c, int x, int y) { return (rt::font_glyph(c)[y] & (0x80 >> x)) != 0; }

// Checks that the framebuffer region at (left, top) shows exactly the glyph.
void expect_glyph_at(const uint8_t* fb, uint32_t width, unsigned char c, uint32_t left, uint32_t top) {
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(inked(fb, width, left + x, top + y), glyph_bit(c, x, y))
                << "glyph '" << c << "' pixel " << x << "," << y;
        }
    }
}

size_t ink_count(const uint8_t* fb, uint32_t width, uint32_t height) {
    size_t n = 0;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) n += inked(fb, width, x, y);
    }
    return n;
}

}  // namespace

TEST(Font, EveryPrintableGlyphIsDistinctAndStaysInsideItsColumns) {
    std::set<std::vector<uint8_t>> seen;
    for (int c = 32; c <= 126; ++c) {
        const uint8_t* g = rt::font_glyph(static_cast<unsigned char>(c));
        seen.insert(std::vector<uint8_t>(g, g + 8));
        int ink = 0;
        for (int y = 0; y < 8; ++y) {
            // Column 0 and columns 6 and 7 stay empty: characters never touch.
            EXPECT_EQ(g[y] & 0x83, 0) << "character " << c << " row " << y;
            ink += __builtin_popcount(g[y]);
        }
        if (c == ' ') {
            EXPECT_EQ(ink, 0);
        } else {
            EXPECT_GT(ink, 0) << "character " << c;
        }
    }
    EXPECT_EQ(seen.size(), 95u);
    // Outside printable ASCII: the question mark.
    for (const int c : {0, 9, 31, 127, 200, 255}) {
        EXPECT_EQ(rt::font_glyph(static_cast<unsigned char>(c)), rt::font_glyph('?')) << c;
    }
}

TEST(Text, GlyphsAreDrawnAtTheCursorCellAndTheCursorAdvances) {
    uint8_t* fb = rt::screen_open(40, 24, 32, 2, 0);
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(rt::text_cursor_row(), 1);
    EXPECT_EQ(rt::text_cursor_column(), 1);

    rt::print_text("A7");
    expect_glyph_at(fb, 40, 'A', 0, 0);
    expect_glyph_at(fb, 40, '7', 8, 0);
    EXPECT_EQ(rt::text_cursor_column(), 3);

    rt::print_text("\ng");
    EXPECT_EQ(rt::text_cursor_row(), 2);
    EXPECT_EQ(rt::text_cursor_column(), 2);
    expect_glyph_at(fb, 40, 'g', 0, 8);

    rt::text_cursor(3, 4);
    rt::print_text("#");
    expect_glyph_at(fb, 40, '#', 24, 16);

    // Only ink is written: the paper between strokes keeps the picture.
    std::memset(fb, 7, 40 * 24 * 4);
    rt::text_cursor(1, 1);
    rt::print_text("I");
    EXPECT_EQ(fb[0], 7);
    EXPECT_EQ(ink_count(fb, 40, 24), 11u);

    rt::text_cursor(0, -5);  // clamped to the top-left cell
    EXPECT_EQ(rt::text_cursor_row(), 1);
    EXPECT_EQ(rt::text_cursor_column(), 1);
    rt::screen_close(0);
}

TEST(Text, TextBeyondTheEdgesIsClippedNotWrapped) {
    // 20 x 12 holds two whole cells in one row; the partial cells are never drawn.
    uint8_t* fb = rt::screen_open(20, 12, 32, 2, 0);
    ASSERT_NE(fb, nullptr);
    rt::print_text("MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM");
    expect_glyph_at(fb, 20, 'M', 0, 0);
    expect_glyph_at(fb, 20, 'M', 8, 0);
    const size_t two_glyphs = ink_count(fb, 20, 12);
    EXPECT_EQ(rt::text_cursor_row(), 1);  // no wrap
    rt::print_text("\nMMMM\nMMMM\n\n\nMMMM");  // every row below the first is off the screen
    EXPECT_EQ(ink_count(fb, 20, 12), two_glyphs);
    for (uint32_t y = 0; y < 12; ++y) {
        for (uint32_t x = 16; x < 20; ++x) EXPECT_FALSE(inked(fb, 20, x, y));
    }
    rt::screen_close(0);
    rt::print_text("no screen");  // harmless
}

TEST(Text, FormattedPrintDrawsTheTextAndEndsTheLine) {
    uint8_t* fb = rt::screen_open(80, 16, 32, 2, 0);
    ASSERT_NE(fb, nullptr);
    rt::text_cursor(1, 1);
    const std::string text = rt::print_using("##:#.#", {uint32_t{42}, 2.25});
    EXPECT_EQ(text, "42:2.3");
    EXPECT_EQ(rt::text_cursor_row(), 2);
    EXPECT_EQ(rt::text_cursor_column(), 1);
    const char* shown = "42:2.3";
    for (int i = 0; i < 6; ++i) expect_glyph_at(fb, 80, static_cast<unsigned char>(shown[i]), 8u * i, 0);
    rt::screen_close(0);
}
