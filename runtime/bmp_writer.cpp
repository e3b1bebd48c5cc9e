// The BMP encoder: headers, palette, and pixel rows of every bit count the loader accepts.
#include "runtime/bmp_writer.h"

#include <algorithm>
#include <bit>

namespace rt {
namespace {

void put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void put_at(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t place(uint32_t channel, uint32_t mask) { return mask == 0 ? 0 : channel << std::countr_zero(mask) & mask; }

constexpr uint32_t colour_space_srgb = 0x73524742;  // 'sRGB'
constexpr uint32_t intent_pictures = 4;             // LCS_GM_IMAGES

}  // namespace

std::vector<uint8_t> encode_bmp(const uint8_t* bgra, uint32_t width, uint32_t height, const bmp_layout_t& l) {
    const auto argb = [&](uint32_t x, uint32_t y) {
        const uint8_t* p = bgra + (static_cast<size_t>(y) * width + x) * 4;
        return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
               static_cast<uint32_t>(p[1]) << 8 | p[0];
    };
    std::vector<uint32_t> palette;
    for (uint32_t y = 0; l.bits <= 8 && y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t rgb = argb(x, y) & 0xFFFFFF;
            if (std::find(palette.begin(), palette.end(), rgb) == palette.end()) palette.push_back(rgb);
        }
    }
    const uint32_t row_bytes = (width * static_cast<uint32_t>(l.bits) + 31) / 32 * 4;
    const uint32_t offset = 14 + l.info_size + (l.bitfields && l.info_size == 40 ? 12 : 0) +
                            static_cast<uint32_t>(palette.size()) * 4 + l.gap;
    std::vector<uint8_t> out = {'B', 'M'};
    out.reserve(offset + static_cast<size_t>(row_bytes) * height);
    for (uint32_t v : {offset + row_bytes * height, 0u, offset, l.info_size, width, l.top_down ? 0 - height : height})
        put(out, v, 4);
    put(out, 1 | static_cast<uint32_t>(l.bits) << 16, 4);  // planes, bit count
    for (uint32_t v :
         {l.bitfields ? 3u : 0u, row_bytes * height, 2835u, 2835u, static_cast<uint32_t>(palette.size()), 0u})
        put(out, v, 4);
    for (int i = 0; i < (l.info_size > 40 ? 4 : l.bitfields ? 3 : 0); ++i) put(out, l.masks[i], 4);
    out.resize(std::max<size_t>(out.size(), 14 + l.info_size), 0);
    if (l.info_size >= 108) put_at(out, 14 + 56, colour_space_srgb);
    if (l.info_size >= 124) put_at(out, 14 + 108, intent_pictures);
    for (uint32_t c : palette) put(out, c, 4);
    out.resize(offset, 0xEE);
    for (uint32_t row = 0; row < height; ++row) {
        const size_t start = out.size();
        const uint32_t y = l.top_down ? row : height - 1 - row;
        uint32_t acc = 0;
        int acc_bits = 0;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t c = argb(x, y);
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

}  // namespace rt
