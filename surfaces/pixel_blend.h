// The two pixel blends: vertex colour in 8-bit integers, and vertex colour plus texel in floats.
#pragma once

#include <cstdint>

#include "math/nearest.h"
#include "math/vec4.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// low_byte_of_nearest without a library call, for the per-pixel paths. cvtss2si rounds in the
// current mode (to nearest, ties to even, as nearbyint does) and gives 0x80000000, whose low
// byte is 0, for NaN and for anything outside the 32-bit range: the same byte as
// low_byte_of_nearest in every case.
inline uint8_t pixel_byte(float v) {
#if defined(__SSE2__)
    return static_cast<uint8_t>(_mm_cvtss_si32(_mm_set_ss(v)));
#else
    return low_byte_of_nearest(v);
#endif
}

// b / 255.0f for every byte b, computed once with that same division, so a look-up gives
// the quotient's exact bits without a division per pixel.
struct byte_fractions_t {
    float of[256];
    byte_fractions_t() {
        for (int b = 0; b < 256; ++b) of[b] = static_cast<float>(b) / 255.0f;
    }
};
inline const byte_fractions_t byte_fractions;

// channel_to_byte through pixel_byte.
inline uint8_t pixel_channel_byte(float channel) { return pixel_byte(channel * 255.0f); }

// F points at one framebuffer pixel (blue, green, red, alpha). The blend divides by 256, not
// 255 (>> 8 rounds down), then the shade scales the blended value in float, old pixel included.
inline void blend_vertex_colour(uint8_t* f, uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue, float shade) {
    const int32_t a = alpha;
    const int32_t keep = 255 - a;
    f[3] = static_cast<uint8_t>((a * a + f[3] * keep) >> 8);
    f[2] = pixel_byte(static_cast<float>((red * a + f[2] * keep) >> 8) * shade);
    f[1] = pixel_byte(static_cast<float>((green * a + f[1] * keep) >> 8) * shade);
    f[0] = pixel_byte(static_cast<float>((blue * a + f[0] * keep) >> 8) * shade);
}

// Vertex colour over the old pixel by the colour's alpha, then the texel over that by its
// opacity 1 - T / 255, then the shade. t points at the texel's blue, green, red, T bytes.
inline void blend_texel(uint8_t* f, const uint8_t* t, const vec4_t& colour, float shade) {
    const float cw = colour.w;
    const float* fraction = byte_fractions.of;
    const float f_r = fraction[f[2]];
    const float f_g = fraction[f[1]];
    const float f_b = fraction[f[0]];
    const float r1 = (colour.x - f_r) * cw + f_r;
    const float g1 = (colour.y - f_g) * cw + f_g;
    const float b1 = (colour.z - f_b) * cw + f_b;
    const float k = 1.0f - fraction[t[3]];
    const float r2 = (fraction[t[2]] - r1) * k + r1;
    const float g2 = (fraction[t[1]] - g1) * k + g1;
    const float b2 = (fraction[t[0]] - b1) * k + b1;
    f[3] = pixel_byte(255.0f * k);
    f[2] = pixel_byte(shade * r2 * 255.0f);
    f[1] = pixel_byte(shade * g2 * 255.0f);
    f[0] = pixel_byte(shade * b2 * 255.0f);
}
