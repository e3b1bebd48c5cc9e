// Bilinear and trilinear texels in integer weights, and the scalar fill of filtered rows.
#include "raster/texture_filter.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "math/nearest.h"
#include "surfaces/pixel_blend.h"
#include "surfaces/texture.h"

namespace {

// n / 2^shift rounded to the nearest, ties to even.
uint32_t rounded_shift(uint32_t n, int shift) {
    const uint32_t q = n >> shift;
    const uint32_t rest = n & ((1u << shift) - 1);
    const uint32_t half = 1u << (shift - 1);
    return q + ((rest > half || (rest == half && (q & 1) != 0)) ? 1 : 0);
}

// The first texel of a pair along one axis, wrapped into 0 .. size - 1, and the second's
// weight in 0 .. 256, for the texel coordinate p (texel k's centre at k).
struct axis_t {
    uint32_t first = 0;
    uint32_t second = 0;
    uint32_t weight = 0;
};

axis_t axis_of(float p, uint32_t size) {
    axis_t a;
    if (!(std::fabs(p) < 8388608.0f)) {
        // Not finite, or beyond 2^23 where every float is whole: one texel, as the nearest rule
        // addresses it.
        a.first = texel_coordinate(p) % size;
    } else {
        // floor(p) without a library call: truncation, one less for a negative fraction.
        auto k = static_cast<int64_t>(p);
        k -= static_cast<float>(k) > p ? 1 : 0;
        const float whole = static_cast<float>(k);
        // Coordinates mostly lie within the texture: the remainder only for those outside.
        if (k < 0 || k >= size) {
            k %= size;
            k += k < 0 ? size : 0;
        }
        a.first = static_cast<uint32_t>(k);
        a.weight = static_cast<uint32_t>(nearest_float((p - whole) * 256.0f));
    }
    a.second = a.first + 1 == size ? 0 : a.first + 1;
    return a;
}

const uint8_t* texel_of(const filter_level_t& level, uint32_t x, uint32_t y, uint8_t* scratch) {
    const uint8_t* t = level.texels + (size_t{y} * level.width + x) * level.bytes_per_texel;
    if (level.bytes_per_texel >= 4) return t;
    std::memset(scratch, 0, 4);
    std::memcpy(scratch, t, level.bytes_per_texel);
    return scratch;
}

filter_level_t level_of(const texture_t& texture, size_t index) {
    if (index == 0) return {texture.pixels, texture.width, texture.height, texture.get_bytes_per_texel()};
    const mip_level_t& m = texture.mip_levels[index - 1];
    return {texture.mip_texels.data() + m.offset, m.width, m.height, 4};
}

}  // namespace

void sample_bilinear(const filter_level_t& level, float u, float v, uint8_t out[4]) {
    if (level.texels == nullptr || level.width == 0 || level.height == 0) {
        std::memset(out, 0, 4);
        return;
    }
    const axis_t x = axis_of(u * static_cast<float>(level.width) - 0.5f, level.width);
    const axis_t y = axis_of(v * static_cast<float>(level.height) - 0.5f, level.height);
    uint8_t scratch[4][4];
    const uint8_t* t00 = texel_of(level, x.first, y.first, scratch[0]);
    const uint8_t* t10 = texel_of(level, x.second, y.first, scratch[1]);
    const uint8_t* t01 = texel_of(level, x.first, y.second, scratch[2]);
    const uint8_t* t11 = texel_of(level, x.second, y.second, scratch[3]);
    const uint32_t w00 = (256 - x.weight) * (256 - y.weight), w10 = x.weight * (256 - y.weight);
    const uint32_t w01 = (256 - x.weight) * y.weight, w11 = x.weight * y.weight;
    for (int c = 0; c < 4; ++c) {
        out[c] = static_cast<uint8_t>(rounded_shift(t00[c] * w00 + t10[c] * w10 + t01[c] * w01 + t11[c] * w11, 16));
    }
}

int32_t mip_level_of_footprint(float du_dx, float dv_dx, float du_dy, float dv_dy) {
    const float across = du_dx * du_dx + dv_dx * dv_dx;
    const float down = du_dy * du_dy + dv_dy * dv_dy;
    const float rho2 = across > down ? across : down;
    if (!(rho2 > 0.0f)) return 0;  // no change at all, or NaN
    if (std::isinf(rho2)) return INT32_MAX;
    // log2 of a positive float in 1/256: the exponent, then the fraction's top 8 bits.
    const auto log2_256 = static_cast<int32_t>(std::bit_cast<uint32_t>(rho2) >> 15) - (127 << 8);
    return log2_256 >> 1;
}

void sample_trilinear(const texture_t& texture, float u, float v, int32_t level_256, uint8_t out[4]) {
    const size_t last = texture.mip_levels.size();
    if (level_256 <= 0 || last == 0) {
        sample_bilinear(level_of(texture, 0), u, v, out);
        return;
    }
    const auto level = static_cast<size_t>(level_256 >> 8);
    if (level >= last) {
        sample_bilinear(level_of(texture, last), u, v, out);
        return;
    }
    const auto f = static_cast<uint32_t>(level_256 & 255);
    uint8_t finer[4];
    uint8_t coarser[4];
    sample_bilinear(level_of(texture, level), u, v, finer);
    sample_bilinear(level_of(texture, level + 1), u, v, coarser);
    for (int c = 0; c < 4; ++c) out[c] = static_cast<uint8_t>(rounded_shift(finer[c] * (256 - f) + coarser[c] * f, 8));
}

uint32_t fill_filtered_rows(const span_row_t* rows, int row_count, const interpolants_t& d_dx,
                            const interpolants_t& d_dy, const texture_t& texture, texture_filter_t filter) {
    const bool readable = texture.pixels != nullptr && texture.width != 0 && texture.height != 0;
    const filter_level_t base = readable ? level_of(texture, 0) : filter_level_t{};
    const auto width = static_cast<float>(texture.width);
    const auto height = static_cast<float>(texture.height);
    uint32_t drawn = 0;
    for (int k = 0; k < row_count; ++k) {
        const span_row_t& row = rows[k];
        interpolants_t s = row.start;
        for (int64_t i = 0; i < row.count; ++i, s.step(d_dx)) {
            const float z = s[interpolant::z];
            // NaN depth or alpha passes: only a comparison that holds rejects the pixel.
            if (z >= row.depth[i] || s[interpolant::alpha] >= 1.0f) continue;
            row.depth[i] = z;
            const float w = 1.0f / s[interpolant::one_over_w];
            const float u = w * s[interpolant::u_over_w];
            const float v = w * s[interpolant::v_over_w];
            uint8_t texel[4] = {0, 0, 0, 0};
            if (readable && filter == texture_filter_t::trilinear) {
                const auto rate = [&](const interpolants_t& d, int q, float value, float size) {
                    return (d[q] - value * d[interpolant::one_over_w]) * w * size;
                };
                const int32_t level = mip_level_of_footprint(
                    rate(d_dx, interpolant::u_over_w, u, width), rate(d_dx, interpolant::v_over_w, v, height),
                    rate(d_dy, interpolant::u_over_w, u, width), rate(d_dy, interpolant::v_over_w, v, height));
                sample_trilinear(texture, u, v, level, texel);
            } else if (readable) {
                sample_bilinear(base, u, v, texel);
            }
            blend_texel(row.pixels + i * 4, texel, s.colour(), s[interpolant::shade]);
            ++drawn;
        }
    }
    return drawn;
}
