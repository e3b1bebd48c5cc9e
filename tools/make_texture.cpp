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

#include "runtime/bmp_writer.h"

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

std::vector<uint8_t> bmp_file() {
    std::vector<uint8_t> bgra;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const uint32_t argb = texel(x, y);
            for (int shift : {0, 8, 16, 24}) bgra.push_back(static_cast<uint8_t>(argb >> shift));
        }
    }
    rt::bmp_layout_t layout;
    layout.bits = 32;
    layout.info_size = 124;
    layout.bitfields = true;
    return rt::encode_bmp(bgra.data(), side, side, layout);
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
