// The library-free byte conversion of the per-pixel paths against low_byte_of_nearest, over every kind of float.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "raster/nearest.h"
#include "target/pixel_blend.h"

TEST(PixelByte, MatchesLowByteOfNearest) {
    const float inf = std::numeric_limits<float>::infinity();
    for (float v : {0.0f, -0.0f, 0.5f, 1.5f, 2.5f, -0.5f, -1.5f, 127.5f, 128.5f, 254.5f, 255.5f, 256.0f, -3.0f,
                    2147483520.0f, 2147483648.0f, -2147483648.0f, -2147483904.0f, 1.0e20f, -1.0e20f, inf, -inf,
                    std::numeric_limits<float>::quiet_NaN(), 1.0e-45f}) {
        EXPECT_EQ(pixel_byte(v), low_byte_of_nearest(v)) << v;
    }
    // Every exponent, random mantissas and signs.
    std::mt19937 rng(7);
    for (int i = 0; i < 2000000; ++i) {
        const float v = std::bit_cast<float>(static_cast<uint32_t>(rng()));
        ASSERT_EQ(pixel_byte(v), low_byte_of_nearest(v)) << std::hexfloat << v;
        const float c = std::ldexp(static_cast<float>(rng() % 100000) / 1000.0f - 20.0f, static_cast<int>(rng() % 8));
        ASSERT_EQ(pixel_channel_byte(c), channel_to_byte(c)) << std::hexfloat << c;
    }
}
