// make_texture: writes the demo's texture, a labelled 64 x 64 checker with an alpha ramp, as a 32-bit BMP.
//
// Usage: make_texture [output.bmp]   (default tex.bmp)
//
// The picture is a 4 x 4 checker of 16-pixel cells in orange and blue, each cell carrying
// its hexadecimal number 0..F in reading order (0 top left, 3 top right, F bottom right),
// so a flipped, mirrored or transposed mapping is obvious at a glance. The cells' alpha
// falls from 255 at the left edge to 64 at the right edge while the digits stay opaque,
// so texture mode shows the transparency. The file is a BITMAPV5HEADER bitmap with
// bit-field masks including an alpha mask, the form decoders honour alpha in.
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int side = 64;
constexpr int cell = 16;
constexpr int glyph_scale = 2;

// 3 x 5 glyphs of the hexadecimal digits, one row per entry, bit 2 the leftmost column.
constexpr uint8_t glyphs[16][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}, {2, 5, 7, 5, 5}, {6, 5, 6, 5, 6},
    {7, 4, 4, 4, 7}, {6, 5, 5, 5, 6}, {7, 4, 6, 4, 7}, {7, 4, 6, 4, 4},
};

// The texel at (x, y), row 0 at the top, as 0xAARRGGBB.
uint32_t texel(int x, int y) {
    const int cx = x / cell;
    const int cy = y / cell;
    const int digit = cy * (side / cell) + cx;
    // The digit's 6 x 10 box sits in the middle of its cell.
    const int gx = (x % cell - (cell - 3 * glyph_scale) / 2);
    const int gy = (y % cell - (cell - 5 * glyph_scale) / 2);
    if (gx >= 0 && gx < 3 * glyph_scale && gy >= 0 && gy < 5 * glyph_scale) {
        const uint8_t row = glyphs[digit][gy / glyph_scale];
        if ((row >> (2 - gx / glyph_scale)) & 1) return 0xFFFFFFFFu;
    }
    const uint32_t alpha = static_cast<uint32_t>(255 - x * (255 - 64) / (side - 1));
    const uint32_t rgb = ((cx + cy) % 2 == 0) ? 0xE67828u : 0x2864D2u;
    return alpha << 24 | rgb;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::vector<uint8_t> bmp_file() {
    constexpr uint32_t info_size = 124;
    constexpr uint32_t data_offset = 14 + info_size;
    constexpr uint32_t data_size = side * side * 4;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, data_offset + data_size);
    put32(out, 0);
    put32(out, data_offset);
    put32(out, info_size);
    put32(out, side);
    put32(out, side);  // positive: rows stored bottom row first
    put16(out, 1);     // planes
    put16(out, 32);    // bits per pixel
    put32(out, 3);     // BI_BITFIELDS
    put32(out, data_size);
    put32(out, 2835);  // 72 dots per inch, in dots per metre
    put32(out, 2835);
    put32(out, 0);                              // colours used
    put32(out, 0);                              // colours important
    put32(out, 0x00FF0000);                     // red mask
    put32(out, 0x0000FF00);                     // green mask
    put32(out, 0x000000FF);                     // blue mask
    put32(out, 0xFF000000);                     // alpha mask
    put32(out, 0x73524742);                     // colour space 'sRGB'
    for (int i = 0; i < 9; ++i) put32(out, 0);  // end points, unused for sRGB
    for (int i = 0; i < 3; ++i) put32(out, 0);  // gamma, unused for sRGB
    put32(out, 4);                              // rendering intent: LCS_GM_IMAGES
    put32(out, 0);                              // profile data
    put32(out, 0);                              // profile size
    put32(out, 0);                              // reserved
    for (int y = side - 1; y >= 0; --y) {
        for (int x = 0; x < side; ++x) put32(out, texel(x, y));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: make_texture [output.bmp]\n");
        return 2;
    }
    const char* path = argc == 2 ? argv[1] : "tex.bmp";
    const std::vector<uint8_t> bytes = bmp_file();
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "make_texture: cannot write %s\n", path);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written) {
        std::fprintf(stderr, "make_texture: error writing %s\n", path);
        return 1;
    }
    return 0;
}
