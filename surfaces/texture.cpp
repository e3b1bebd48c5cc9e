// texture_t: construction and the texels of a decoded picture.
#include "surfaces/texture.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

uint8_t* zeroed_bytes(size_t count) {
    auto* bytes = new (std::nothrow) uint8_t[count];
    if (bytes != nullptr) std::memset(bytes, 0, count);
    return bytes;
}

}  // namespace

texture_t::texture_t(uint32_t w, uint32_t h, uint32_t d) {
    pixels = nullptr;
    width = 0;
    height = 0;
    depth = 0;
    d = std::clamp<uint32_t>(d, 8, 32);
    if (w == 0) w = 1;
    if (h == 0) h = 1;
    // Sides beyond what load would ever accept are clamped so that the byte count cannot
    // overflow or ask for more than a gigabyte.
    w = std::min<uint32_t>(w, static_cast<uint32_t>(texture_max_side));
    h = std::min<uint32_t>(h, static_cast<uint32_t>(texture_max_side));
    pixels = zeroed_bytes(static_cast<size_t>(h) * w * (d / 8));
    if (pixels == nullptr) {
        // Out of memory for the requested size: a 1 x 1 texture keeps the fields consistent.
        w = 1;
        h = 1;
        pixels = new uint8_t[d / 8]();
    }
    width = w;
    height = h;
    depth = d;
}

texture_t::~texture_t() { delete[] pixels; }

bool texture_t::assign_picture(uint32_t w, uint32_t h, size_t pitch, const uint8_t* bgra) {
    const bool usable =
        bgra != nullptr && w >= 1 && h >= 1 && w <= texture_max_side && h <= texture_max_side && pitch >= size_t{w} * 4;
    // The new texels are built aside and swapped in only once complete, so a failure at
    // any step leaves the texture's previous size and contents untouched.
    uint8_t* texels = usable ? zeroed_bytes(size_t{h} * w * 4) : nullptr;
    if (texels == nullptr) return false;

    const size_t row_bytes = size_t{w} * 4;
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* from = bgra + y * pitch;
        uint8_t* to = texels + y * row_bytes;
        for (size_t x = 0; x < row_bytes; x += 4) {
            to[x + 0] = from[x + 0];
            to[x + 1] = from[x + 1];
            to[x + 2] = from[x + 2];
            to[x + 3] = static_cast<uint8_t>(255 - from[x + 3]);
        }
    }

    delete[] pixels;
    pixels = texels;
    width = w;
    height = h;
    depth = 32;
    // Without memory for the chain the picture is still drawn, trilinear reading level 0.
    build_mips();
    return true;
}

bool texture_t::build_mips() {
    mip_levels.clear();
    mip_texels.clear();
    if (pixels == nullptr || depth != 32) return true;
    // The sizes first, so the texels are allocated once.
    size_t bytes = 0;
    for (uint32_t w = width, h = height; w > 1 || h > 1;) {
        w = std::max<uint32_t>(1, w / 2);
        h = std::max<uint32_t>(1, h / 2);
        mip_levels.push_back({w, h, bytes});
        bytes += size_t{w} * h * 4;
    }
    try {
        mip_texels.resize(bytes);
    } catch (const std::bad_alloc&) {
        mip_levels.clear();
        return false;
    }
    const uint8_t* above = pixels;
    uint32_t above_w = width;
    uint32_t above_h = height;
    for (const mip_level_t& level : mip_levels) {
        uint8_t* out = mip_texels.data() + level.offset;
        for (uint32_t y = 0; y < level.height; ++y) {
            const uint32_t y0 = std::min(2 * y, above_h - 1), y1 = std::min(2 * y + 1, above_h - 1);
            for (uint32_t x = 0; x < level.width; ++x) {
                const uint32_t x0 = std::min(2 * x, above_w - 1), x1 = std::min(2 * x + 1, above_w - 1);
                const uint8_t* t[4] = {above + (size_t{y0} * above_w + x0) * 4, above + (size_t{y0} * above_w + x1) * 4,
                                       above + (size_t{y1} * above_w + x0) * 4,
                                       above + (size_t{y1} * above_w + x1) * 4};
                for (int c = 0; c < 4; ++c) {
                    const uint32_t sum = uint32_t{t[0][c]} + t[1][c] + t[2][c] + t[3][c];
                    // sum / 4 rounded to the nearest, ties (a remainder of 2) to even.
                    const uint32_t q = sum >> 2;
                    const uint32_t rest = sum & 3;
                    out[(size_t{y} * level.width + x) * 4 + c] =
                        static_cast<uint8_t>(q + ((rest > 2 || (rest == 2 && (q & 1) != 0)) ? 1 : 0));
                }
            }
        }
        above = out;
        above_w = level.width;
        above_h = level.height;
    }
    return true;
}
