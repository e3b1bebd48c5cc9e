// The surfaces' share of the picture options: supersampling's average and count, and the light from two angles.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "raster/gradients.h"
#include "surfaces/light.h"
#include "surfaces/sample_average.h"
#include "surfaces/screen.h"

TEST(SampleAverage, EachByteIsTheRoundedMeanOfItsSamples) {
    // A 2 x 1 picture from 4 x 2 samples: each pixel's four samples, byte by byte.
    render_target_t samples(4, 2), out(2, 1);
    const uint8_t rows[2][16] = {
        {1, 3, 255, 0, 1, 3, 255, 9, /* pixel 1: */ 10, 0, 0, 0, 20, 0, 0, 0},
        {0, 0, 255, 0, 0, 0, 254, 7, /* pixel 1: */ 30, 0, 0, 0, 41, 2, 0, 0},
    };
    std::memcpy(samples.framebuffer, rows, sizeof rows);
    average_samples(samples, out, 2, 0, 1);
    // 2 / 4 = 0.5 and 6 / 4 = 1.5 go to the even neighbour; 1019 / 4 = 254.75; 16 / 4 = 4;
    // 101 / 4 = 25.25; 2 / 4 = 0.5 again.
    EXPECT_EQ(std::vector<uint8_t>(out.framebuffer, out.framebuffer + 8),
              (std::vector<uint8_t>{0, 2, 255, 4, 25, 0, 0, 0}));

    // Three and four samples a side: every sum's average, through the whole table.
    for (const uint32_t factor : {3u, 4u}) {
        render_target_t big(factor, factor), one(1, 1);
        for (uint32_t sum = 0; sum <= 255 * factor * factor; sum += 7) {
            // The sum spread over the samples of byte 0, at most 255 each.
            uint32_t left = sum;
            for (uint32_t i = 0; i < factor * factor; ++i) {
                const uint32_t b = left < 255 ? left : 255;
                big.framebuffer[i * 4] = static_cast<uint8_t>(b);
                left -= b;
            }
            average_samples(big, one, factor, 0, 1);
            const double mean = static_cast<double>(sum) / (factor * factor);
            EXPECT_EQ(one.framebuffer[0], static_cast<uint8_t>(std::nearbyint(mean))) << factor << " " << sum;
        }
    }
    // Sizes that do not fit together leave the picture alone.
    render_target_t wrong(5, 2);
    out.framebuffer[0] = 77;
    average_samples(wrong, out, 2, 0, 1);
    EXPECT_EQ(out.framebuffer[0], 77);
    // The pixel count: samples written over factor^2, to the nearest, ties to even.
    EXPECT_EQ(pixels_of_samples(10, 2), 2u);  // 2.5
    EXPECT_EQ(pixels_of_samples(14, 2), 4u);  // 3.5
    EXPECT_EQ(pixels_of_samples(13, 3), 1u);  // 1.44
    EXPECT_EQ(pixels_of_samples(4294967295u, 4), 268435456u);
}

TEST(SampleAverage, AScreenMakesItsSamplesForItsFactorAndSize) {
    screen_t screen(30, 20, 90.0f, screen_t::offscreen_tag{});
    EXPECT_TRUE(screen.make_samples());
    EXPECT_EQ(screen.samples, nullptr);
    screen.ssaa = 3;
    ASSERT_TRUE(screen.make_samples());
    ASSERT_NE(screen.samples, nullptr);
    EXPECT_EQ(std::pair(screen.samples->width, screen.samples->height), std::pair(90u, 60u));
    const screen_t* made = screen.samples.get();
    EXPECT_TRUE(screen.make_samples());
    EXPECT_EQ(screen.samples.get(), made);  // kept while it fits
    screen.ssaa = 1;
    EXPECT_TRUE(screen.make_samples());
    EXPECT_EQ(screen.samples, nullptr);
    // Samples wider than a target can be are refused.
    screen_t wide(8000, 16, 90.0f, screen_t::offscreen_tag{});
    wide.ssaa = 3;
    EXPECT_FALSE(wide.make_samples());
    EXPECT_EQ(wide.samples, nullptr);
}

TEST(Light, TheDefaultIsTheDemosLightBitForBitAndTurnedLightsShadeByTheirAngle) {
    const vec4_t light = light_from_angles(0.0, 0.0);
    EXPECT_EQ(std::bit_cast<uint32_t>(light.x), std::bit_cast<uint32_t>(0.0f));
    EXPECT_EQ(std::bit_cast<uint32_t>(light.y), std::bit_cast<uint32_t>(0.0f));
    EXPECT_EQ(light.z, 1.0f);
    EXPECT_EQ(light.w, 1.0f);
    // The demo's shades, through the default light.
    for (const auto& [normal, shade] : {std::pair(vec4_t(0, 0, 1, 0), 1.0f), std::pair(vec4_t(0, 0, -1, 0), 0.1f),
                                        std::pair(vec4_t(0, 0, 0.5f, 0), 0.55f), std::pair(vec4_t(0, 0, 0, 1), 1.0f)}) {
        EXPECT_EQ(shade_of_normal(normal, light), shade_of_normal(normal));
        EXPECT_FLOAT_EQ(shade_of_normal(normal, light), shade);
    }
    // From the right (azimuth 90): the light travels along -x, lighting the inward normal of
    // the right side, (-1, 0, 0), fully, and the face towards the viewer (inward +z) at
    // grazing incidence.
    const vec4_t right = light_from_angles(90.0, 0.0);
    EXPECT_EQ(right.x, -1.0f);
    EXPECT_EQ(right.y, 0.0f);
    EXPECT_NEAR(right.z, 0.0f, 1e-7f);
    EXPECT_EQ(shade_of_normal(vec4_t(-1, 0, 0, 0), right), 1.0f);
    EXPECT_NEAR(shade_of_normal(vec4_t(0, 0, 1, 0), right), 0.1f, 1e-7f);
    // From above at 30 degrees: the top's inward normal (0, -1, 0) gets sin 30 = 0.5, shade 0.55;
    // the front cos 30.
    const vec4_t above = light_from_angles(0.0, 30.0);
    EXPECT_FLOAT_EQ(shade_of_normal(vec4_t(0, -1, 0, 0), above), 0.55f);
    EXPECT_FLOAT_EQ(shade_of_normal(vec4_t(0, 0, 1, 0), above),
                    static_cast<float>(static_cast<double>(static_cast<float>(std::cos(M_PI / 6))) * 0.9 + 0.1));
    // The fourth component stays 1: a normal's w counts, as in the demo.
    EXPECT_EQ(above.w, 1.0f);
    EXPECT_EQ(shade_of_normal(vec4_t(0, 0, 0, 1), above), 1.0f);
}
