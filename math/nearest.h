// Round-half-to-even conversions from float to the integers the rasteriser indexes and stores with.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// nearest(v) is v rounded to the nearest integer, ties to the even one (nearest(2.5) = 2,
// nearest(3.5) = 4, nearest(-0.5) = 0). Converting NaN, an infinity or an out-of-range
// float to an integer type is undefined in C++, so every conversion below checks its range
// first and says what it gives outside it.

// Rounding in float is exact: every float of magnitude 2^23 or more is already an integer
// (as are NaN and the infinities) and passes through. Below that, adding and taking away 2^23
// with v's sign rounds to an integer in the current mode, ties to even, without the library
// call nearbyint costs on the x86-64 baseline; a zero result keeps v's sign, as nearbyint's.
inline float nearest_float(float v) {
    if (!(std::fabs(v) < 8388608.0f)) return v;
    const float big = std::copysign(8388608.0f, v);
    return std::copysign((v + big) - big, v);
}

// The low 8 bits of the 32-bit nearest integer. NaN gives 0, and so does anything outside
// the 32-bit range, where x86 conversions yield the "integer indefinite" 0x80000000 whose
// low byte is 0.
inline uint8_t low_byte_of_nearest(float v) {
    const float r = nearest_float(v);
    if (!(r >= -2147483648.0f && r < 2147483648.0f)) return 0;
    return static_cast<uint8_t>(static_cast<uint32_t>(static_cast<int32_t>(r)));
}

// A colour channel nominally in 0..1 as a byte: nearest(channel * 255), low 8 bits.
inline uint8_t channel_to_byte(float channel) { return low_byte_of_nearest(channel * 255.0f); }

// Texel addressing: nearest(v) taken as an unsigned 32-bit number (negative values in two's
// complement). NaN, infinities and values beyond the 64-bit integer range give 0. Below 2^31
// in magnitude the SSE2 conversion rounds as nearest does and its 32 bits are the low 32 bits
// of the 64-bit integer, one instruction for the common case.
inline uint32_t texel_coordinate(float v) {
#if defined(__SSE2__)
    if (std::fabs(v) < 2147483648.0f) return static_cast<uint32_t>(_mm_cvtss_si32(_mm_set_ss(v)));
#endif
    const float r = nearest_float(v);
    if (!(r >= -9223372036854775808.0f && r < 9223372036854775808.0f)) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(r)));
}
