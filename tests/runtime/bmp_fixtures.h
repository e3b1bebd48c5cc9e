// Test fixtures: patterned pictures written as BMP files in any layout, patched headers, and temporary files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/bmp_writer.h"

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

using layout_t = rt::bmp_layout_t;

// "8 bits, 40-byte header, top-down, bit fields, 8-byte gap": a layout as a failure names it.
inline std::string describe(const layout_t& l) {
    return std::to_string(l.bits) + " bits, " + std::to_string(l.info_size) + "-byte header, " +
           (l.top_down ? "top-down" : "bottom-up") + (l.bitfields ? ", bit fields" : "") +
           (l.gap != 0 ? ", " + std::to_string(l.gap) + "-byte gap" : "");
}

// The file with the little-endian field of the given size at the offset set to v.
inline std::vector<uint8_t> patched(std::vector<uint8_t> file, size_t at, uint32_t v, size_t bytes = 4) {
    for (size_t i = 0; i < bytes; ++i) file.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
    return file;
}

// Each word as four bytes, least significant first: 0xAARRGGBB words give B, G, R, A bytes.
inline std::vector<uint8_t> little_endian_bytes(const std::vector<uint32_t>& words) {
    std::vector<uint8_t> out;
    for (uint32_t w : words) {
        for (int shift : {0, 8, 16, 24}) out.push_back(static_cast<uint8_t>(w >> shift));
    }
    return out;
}

inline std::vector<uint8_t> write(const picture_t& p, const layout_t& l) {
    return rt::encode_bmp(little_endian_bytes(p.argb).data(), static_cast<uint32_t>(p.width),
                          static_cast<uint32_t>(p.height), l);
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
