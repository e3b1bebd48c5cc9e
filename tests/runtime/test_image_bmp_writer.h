// Test fixtures: a small BMP writer for every layout the loader accepts, and temporary files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace bmp_fixture {

// A picture as 0xAARRGGBB values, row 0 at the top.
struct picture_t {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> argb;

    uint32_t at(int32_t x, int32_t y) const { return argb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};

// A picture whose every pixel differs from its neighbours in each channel, so that a
// swapped channel, a flipped row or a shifted column shows.
inline picture_t pattern(int32_t width, int32_t height, bool vary_alpha) {
    picture_t p{width, height, {}};
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t r = static_cast<uint32_t>(x * 37 + 11) & 0xFF;
            const uint32_t g = static_cast<uint32_t>(y * 53 + 29) & 0xFF;
            const uint32_t b = static_cast<uint32_t>(x * 7 + y * 19 + 3) & 0xFF;
            const uint32_t a = vary_alpha ? static_cast<uint32_t>(x * 41 + y * 23 + 64) & 0xFF : 0xFF;
            p.argb.push_back(a << 24 | r << 16 | g << 8 | b);
        }
    }
    return p;
}

struct layout_t {
    int bits = 24;                // 1, 4, 8, 16 (5-5-5), 24 or 32
    uint32_t info_size = 40;      // 40, 108 or 124 (anything else is written as given)
    bool bitfields = false;       // 32 bits only: masks below
    uint32_t masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};  // r, g, b, a
    bool top_down = false;
    uint32_t gap = 0;             // extra bytes between the tables and the pixel rows
};

inline void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
// Overwrites 4 bytes at the offset; a field past the end of a cut file is left out.
inline void set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    if (out.size() < 4 || at > out.size() - 4) return;
    for (size_t i = 0; i < 4; ++i) out.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

// Places an 8-bit channel into a byte-aligned 8-bit mask.
inline uint32_t place(uint32_t channel, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    return (channel << shift) & mask;
}

// The BMP file of the picture in the layout. Paletted layouts take the picture's distinct
// colours in order of first appearance (at most 2^bits of them).
inline std::vector<uint8_t> write(const picture_t& p, const layout_t& l) {
    std::vector<uint32_t> palette;
    std::map<uint32_t, uint32_t> index_of;
    if (l.bits <= 8) {
        for (uint32_t c : p.argb) {
            const uint32_t rgb = c & 0xFFFFFF;
            if (index_of.emplace(rgb, static_cast<uint32_t>(palette.size())).second) palette.push_back(rgb);
        }
    }
    const uint32_t masks_after = (l.bitfields && l.info_size == 40) ? 12 : 0;
    const uint32_t tables = 14 + l.info_size + masks_after + static_cast<uint32_t>(palette.size()) * 4;
    const uint32_t data_offset = tables + l.gap;
    const size_t row_bytes = (static_cast<size_t>(p.width) * static_cast<size_t>(l.bits) + 31) / 32 * 4;
    const size_t file_size = data_offset + row_bytes * static_cast<size_t>(p.height);

    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<uint32_t>(file_size));
    put32(out, 0);
    put32(out, data_offset);
    put32(out, l.info_size);
    put32(out, static_cast<uint32_t>(p.width));
    put32(out, static_cast<uint32_t>(l.top_down ? -p.height : p.height));
    put16(out, 1);
    put16(out, static_cast<uint32_t>(l.bits));
    put32(out, l.bitfields ? 3 : 0);
    put32(out, static_cast<uint32_t>(row_bytes * static_cast<size_t>(p.height)));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, static_cast<uint32_t>(palette.size()));
    put32(out, 0);
    if (l.info_size > 40) {
        for (uint32_t m : l.masks) put32(out, m);
        put32(out, 0x73524742);  // 'sRGB'
        while (out.size() < 14 + l.info_size) out.push_back(0);
    }
    if (masks_after != 0) {
        for (int i = 0; i < 3; ++i) put32(out, l.masks[i]);
    }
    for (uint32_t c : palette) put32(out, c);
    out.resize(data_offset, 0xEE);

    for (int32_t row = 0; row < p.height; ++row) {
        const int32_t y = l.top_down ? row : p.height - 1 - row;
        const size_t start = out.size();
        uint32_t acc = 0;
        int acc_bits = 0;
        for (int32_t x = 0; x < p.width; ++x) {
            const uint32_t c = p.at(x, y);
            const uint32_t a = c >> 24, r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            switch (l.bits) {
            case 32:
                put32(out, l.bitfields ? place(r, l.masks[0]) | place(g, l.masks[1]) |
                                             place(b, l.masks[2]) | place(a, l.masks[3])
                                       : c);
                break;
            case 24:
                out.push_back(static_cast<uint8_t>(b));
                out.push_back(static_cast<uint8_t>(g));
                out.push_back(static_cast<uint8_t>(r));
                break;
            case 16:
                put16(out, (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
                break;
            default:
                acc = acc << l.bits | index_of[c & 0xFFFFFF];
                acc_bits += l.bits;
                if (acc_bits == 8) {
                    out.push_back(static_cast<uint8_t>(acc));
                    acc = 0;
                    acc_bits = 0;
                }
            }
        }
        if (acc_bits != 0) out.push_back(static_cast<uint8_t>(acc << (8 - acc_bits)));
        while (out.size() - start < row_bytes) out.push_back(0);
    }
    return out;
}

// A file in the temporary directory, removed again when the fixture goes.
class temp_file_t {
public:
    explicit temp_file_t(const std::string& name)
        : path_((std::filesystem::temp_directory_path() /
                 ("softcube-" + std::to_string(::getpid()) + "-" + name))
                    .string()) {}
    temp_file_t(const std::string& name, const std::vector<uint8_t>& bytes) : temp_file_t(name) {
        write(bytes);
    }
    ~temp_file_t() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    temp_file_t(const temp_file_t&) = delete;
    temp_file_t& operator=(const temp_file_t&) = delete;

    void write(const std::vector<uint8_t>& bytes) const {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (f == nullptr) return;
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

}  // namespace bmp_fixture
