// Test fixtures: a compact BMP writer for the layouts the loader accepts, and temporary files.
#pragma once

#include <unistd.h>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace bmp_fixture {

// A picture as 0xAARRGGBB values, row 0 at the top.
struct picture_t {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int32_t x, int32_t y) const { return argb.at(static_cast<size_t>(y * width + x)); }
};

// Every pixel differs from its neighbours in each channel, so that a swapped channel, a
// flipped row or a shifted column shows. With alpha, pixel (0, 0) has alpha 64.
inline picture_t pattern(int32_t width, int32_t height, bool vary_alpha) {
    picture_t p{width, height, {}};
    for (uint32_t y = 0; y < static_cast<uint32_t>(height); ++y) {
        for (uint32_t x = 0; x < static_cast<uint32_t>(width); ++x) {
            const uint32_t a = vary_alpha ? (x * 41 + y * 23 + 64) & 0xFF : 0xFF;
            p.argb.push_back(a << 24 | ((x * 37 + 11) & 0xFF) << 16 | ((y * 53 + 29) & 0xFF) << 8 |
                             ((x * 7 + y * 19 + 3) & 0xFF));
        }
    }
    return p;
}

// bits 1, 4 or 8 (a palette of the picture's colours in order of first appearance), 16
// (5-5-5), 24 or 32; info header 40, 108 or 124 bytes; bit-field masks (32 bits only) after a
// 40-byte header or inside a longer one.
struct layout_t {
    int bits;
    uint32_t info_size;
    bool top_down, bitfields;
    uint32_t gap = 0;  // extra bytes between the tables and the pixel rows
    uint32_t masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};  // r, g, b, a
    layout_t(int b = 24, uint32_t info = 40, bool down = false, bool fields = false)
        : bits(b), info_size(info), top_down(down), bitfields(fields) {}
};

inline void put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
// The file with the little-endian field of the given size at the offset set to v.
inline std::vector<uint8_t> patched(std::vector<uint8_t> file, size_t at, uint32_t v, size_t bytes = 4) {
    for (size_t i = 0; i < bytes; ++i) file.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
    return file;
}
inline uint32_t place(uint32_t channel, uint32_t mask) {
    return mask == 0 ? 0 : channel << std::countr_zero(mask) & mask;
}

inline std::vector<uint8_t> write(const picture_t& p, const layout_t& l) {
    std::vector<uint32_t> palette;
    for (uint32_t c : p.argb)
        if (l.bits <= 8 && std::find(palette.begin(), palette.end(), c & 0xFFFFFF) == palette.end())
            palette.push_back(c & 0xFFFFFF);
    const auto rows = static_cast<uint32_t>(p.height);
    const uint32_t row_bytes = (static_cast<uint32_t>(p.width * l.bits) + 31) / 32 * 4;
    const uint32_t offset = 14 + l.info_size + (l.bitfields && l.info_size == 40 ? 12 : 0) +
                            static_cast<uint32_t>(palette.size()) * 4 + l.gap;
    std::vector<uint8_t> out = {'B', 'M'};
    for (uint32_t v : {offset + row_bytes * rows, 0u, offset, l.info_size, static_cast<uint32_t>(p.width),
                       l.top_down ? 0 - rows : rows})
        put(out, v, 4);
    put(out, 1 | static_cast<uint32_t>(l.bits) << 16, 4);  // planes, bit count
    for (uint32_t v :
         {l.bitfields ? 3u : 0u, row_bytes * rows, 2835u, 2835u, static_cast<uint32_t>(palette.size()), 0u})
        put(out, v, 4);
    for (int i = 0; i < (l.info_size > 40 ? 4 : l.bitfields ? 3 : 0); ++i) put(out, l.masks[i], 4);
    out.resize(std::max<size_t>(out.size(), 14 + l.info_size), 0);
    for (uint32_t c : palette) put(out, c, 4);
    out.resize(offset, 0xEE);
    for (int32_t row = 0; row < p.height; ++row) {
        const size_t start = out.size();
        uint32_t acc = 0;
        int acc_bits = 0;
        for (int32_t x = 0; x < p.width; ++x) {
            const uint32_t c = p.at(x, l.top_down ? row : p.height - 1 - row);
            if (l.bits <= 8) {
                acc = acc << l.bits |
                      static_cast<uint32_t>(std::find(palette.begin(), palette.end(), c & 0xFFFFFF) - palette.begin());
                if ((acc_bits += l.bits) == 8) {
                    out.push_back(static_cast<uint8_t>(acc));
                    acc = 0;
                    acc_bits = 0;
                }
            } else if (l.bits == 16) {
                put(out, (c >> 9 & 0x7C00) | (c >> 6 & 0x3E0) | (c >> 3 & 0x1F), 2);
            } else if (l.bits == 24 || !l.bitfields) {
                put(out, c, l.bits / 8);
            } else {
                put(out,
                    place(c >> 16 & 0xFF, l.masks[0]) | place(c >> 8 & 0xFF, l.masks[1]) | place(c & 0xFF, l.masks[2]) |
                        place(c >> 24, l.masks[3]),
                    4);
            }
        }
        if (acc_bits != 0) out.push_back(static_cast<uint8_t>(acc << (8 - acc_bits)));
        out.resize(start + row_bytes, 0);
    }
    return out;
}

// A file in the temporary folder (absent unless bytes are given), removed when the fixture goes.
struct temp_file_t {
    explicit temp_file_t(const std::string& name)
        : path_((std::filesystem::temp_directory_path() / ("softcube-" + std::to_string(::getpid()) + "-" + name))
                    .string()) {}
    temp_file_t(const std::string& name, const std::vector<uint8_t>& bytes) : temp_file_t(name) {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ~temp_file_t() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    temp_file_t(const temp_file_t&) = delete;
    temp_file_t& operator=(const temp_file_t&) = delete;
    const char* path() const { return path_.c_str(); }
    std::string path_;
};

}  // namespace bmp_fixture
