// Texture filters to the byte: bilinear weights and wrapping, the footprint's level, trilinear's blend, filtered fills.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "picture_option_fixtures.h"
#include "raster/texture_filter.h"
#include "surfaces/texture.h"

namespace {

using bytes_t = std::array<int, 4>;

bytes_t bilinear(const texture_t& t, float u, float v) {
    uint8_t out[4];
    sample_bilinear({t.pixels, t.width, t.height, t.get_bytes_per_texel()}, u, v, out);
    return {out[0], out[1], out[2], out[3]};
}

bytes_t trilinear(const texture_t& t, float u, float v, int32_t level) {
    uint8_t out[4];
    sample_trilinear(t, u, v, level, out);
    return {out[0], out[1], out[2], out[3]};
}

void set_texel(texture_t& t, uint32_t x, uint32_t y, bytes_t b) {
    for (int c = 0; c < 4; ++c) t.pixels[(size_t{y} * t.width + x) * 4 + c] = static_cast<uint8_t>(b[c]);
}

// A 4 x 4 texture with bytes that differ from texel to texel, and its mip chain.
texture_t& four_by_four() {
    static texture_t t(4, 4, 32);
    for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 4; ++x) {
            set_texel(t, x, y,
                      {static_cast<int>(x * 60 + y * 7), static_cast<int>(y * 50 + x), static_cast<int>((x + y) * 30),
                       static_cast<int>(255 - x * y * 16)});
        }
    }
    t.build_mips();
    return t;
}

}  // namespace

TEST(TextureFilter, BilinearWeighsTheFourTexelsAroundTheSample) {
    texture_t t(2, 2, 32);
    set_texel(t, 0, 0, {0, 0, 0, 0});
    set_texel(t, 1, 0, {200, 100, 40, 255});
    set_texel(t, 0, 1, {10, 20, 30, 40});
    set_texel(t, 1, 1, {255, 255, 255, 255});
    // Texel k's centre is at u = (k + 0.5) / width: there it is read alone.
    EXPECT_EQ(bilinear(t, 0.25f, 0.25f), (bytes_t{0, 0, 0, 0}));
    EXPECT_EQ(bilinear(t, 0.75f, 0.75f), (bytes_t{255, 255, 255, 255}));
    // Between all four: each weighs 1/4; 465 / 4 = 116.25, 552 / 4 = 138.
    EXPECT_EQ(bilinear(t, 0.5f, 0.5f), (bytes_t{116, 94, 81, 138}));
    // A quarter of the way from texel 0 to texel 1: weights 192 and 64; 255 * 64 / 256 = 63.75.
    EXPECT_EQ(bilinear(t, 0.375f, 0.25f), (bytes_t{50, 25, 10, 64}));
    // u = 0 lies half-way between the last texel and the first (wrapped): 127.5 rounds to even.
    EXPECT_EQ(bilinear(t, 0.0f, 0.25f), (bytes_t{100, 50, 20, 128}));
    EXPECT_EQ(bilinear(t, 1.0f, 0.25f), bilinear(t, 0.0f, 0.25f));
    EXPECT_EQ(bilinear(t, -3.0f, 0.25f), bilinear(t, 0.0f, 0.25f));
    // Weights nearest(256 * 0.7) = 179 across and nearest(256 * 0.3) = 77 down, from texel (0, 1).
    EXPECT_EQ(bilinear(t, 0.6f, 0.9f), (bytes_t{169, 150, 139, 187}));
    // Not finite, or far beyond 2^23 texels: one texel, as nearest addresses it (NaN: texel 0).
    EXPECT_EQ(bilinear(t, NAN, 0.25f), (bytes_t{0, 0, 0, 0}));
    EXPECT_EQ(bilinear(t, 1.0e10f, 0.75f), (bytes_t{10, 20, 30, 40}));
    // A 24-bit texture reads 0 for the missing fourth byte.
    texture_t rgb(1, 1, 24);
    std::memset(rgb.pixels, 90, 3);
    EXPECT_EQ(bilinear(rgb, 0.3f, 0.8f), (bytes_t{90, 90, 90, 0}));
}

TEST(TextureFilter, MipLevelsAreRoundedAveragesOfTwoByTwoTexels) {
    const texture_t& t = four_by_four();
    ASSERT_EQ(t.mip_levels.size(), 2u);
    EXPECT_EQ(std::pair(t.mip_levels[0].width, t.mip_levels[0].height), std::pair(2u, 2u));
    EXPECT_EQ(std::pair(t.mip_levels[1].width, t.mip_levels[1].height), std::pair(1u, 1u));
    const auto level_texel = [&](size_t level, uint32_t x, uint32_t y) {
        const mip_level_t& m = t.mip_levels[level];
        const uint8_t* p = t.mip_texels.data() + m.offset + (size_t{y} * m.width + x) * 4;
        return bytes_t{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(level_texel(0, 0, 0), (bytes_t{34, 26, 30, 251}));
    EXPECT_EQ(level_texel(0, 1, 0), (bytes_t{154, 28, 90, 235}));
    EXPECT_EQ(level_texel(0, 0, 1), (bytes_t{48, 126, 90, 235}));
    EXPECT_EQ(level_texel(0, 1, 1), (bytes_t{168, 128, 150, 155}));
    EXPECT_EQ(level_texel(1, 0, 0), (bytes_t{101, 77, 90, 219}));  // 405 / 4 = 101.25, 308 / 4 = 77, 876 / 4 = 219

    // Odd sides: 3 x 5 gives 1 x 2 (the last column and row left out), then 1 x 1.
    texture_t odd(3, 5, 32);
    for (uint32_t y = 0; y < 5; ++y) {
        for (uint32_t x = 0; x < 3; ++x) {
            set_texel(odd, x, y,
                      {static_cast<int>(x * 40 + y * 3), static_cast<int>(y * 20), static_cast<int>(x * y * 10),
                       static_cast<int>(100 + x + y)});
        }
    }
    ASSERT_TRUE(odd.build_mips());
    ASSERT_EQ(odd.mip_levels.size(), 2u);
    EXPECT_EQ(std::pair(odd.mip_levels[0].width, odd.mip_levels[0].height), std::pair(1u, 2u));
    const uint8_t* o = odd.mip_texels.data();
    EXPECT_EQ((bytes_t{o[0], o[1], o[2], o[3]}), (bytes_t{22, 10, 2, 101}));  // 86 / 4 = 21.5 to even
    EXPECT_EQ((bytes_t{o[4], o[5], o[6], o[7]}), (bytes_t{28, 50, 12, 103}));
    EXPECT_EQ((bytes_t{o[8], o[9], o[10], o[11]}), (bytes_t{25, 30, 7, 102}));
    // A picture assigned gets its chain; a texture of fewer bytes per texel none.
    texture_t assigned(1, 1, 32);
    const uint8_t picture[4 * 4 * 4] = {};
    ASSERT_TRUE(assigned.assign_picture(4, 4, 16, picture));
    EXPECT_EQ(assigned.mip_levels.size(), 2u);
    texture_t rgb(4, 4, 24);
    EXPECT_TRUE(rgb.build_mips());
    EXPECT_TRUE(rgb.mip_levels.empty());
}

TEST(TextureFilter, TheFootprintChoosesTheLevelAndTrilinearBlendsTwo) {
    // Half the base-2 logarithm of rho^2 in 1/256 levels: 1 texel a pixel is level 0, 2 level
    // 1, 4 level 2; 3 texels: rho^2 = 9 = 1.125 * 2^3, (3 * 256 + 32) / 2 = 400.
    EXPECT_EQ(mip_level_of_footprint(1.0f, 0.0f, 0.0f, 1.0f), 0);
    EXPECT_EQ(mip_level_of_footprint(2.0f, 0.0f, 0.0f, -2.0f), 256);
    EXPECT_EQ(mip_level_of_footprint(0.0f, 0.0f, 4.0f, 0.0f), 512);
    EXPECT_EQ(mip_level_of_footprint(3.0f, 0.0f, 0.0f, 0.0f), 400);
    EXPECT_EQ(mip_level_of_footprint(0.5f, 0.0f, 0.0f, 0.0f), -256);  // magnified
    EXPECT_EQ(mip_level_of_footprint(0.0f, 0.0f, 0.0f, 0.0f), 0);
    EXPECT_EQ(mip_level_of_footprint(NAN, 0.0f, 0.0f, 0.0f), 0);
    EXPECT_EQ(mip_level_of_footprint(INFINITY, 0.0f, 0.0f, 0.0f), INT32_MAX);

    const texture_t& t = four_by_four();
    // At (1/8, 1/8): level 0 reads texel (0, 0) alone; level 1 reads its four texels with
    // weights 64 and 192 each way from (1, 1), wrapped (67.5 rounds to 68).
    EXPECT_EQ(trilinear(t, 0.125f, 0.125f, -100), (bytes_t{0, 0, 0, 255}));
    EXPECT_EQ(trilinear(t, 0.125f, 0.125f, 0), (bytes_t{0, 0, 0, 255}));
    EXPECT_EQ(trilinear(t, 0.125f, 0.125f, 256), (bytes_t{68, 52, 60, 239}));
    EXPECT_EQ(trilinear(t, 0.125f, 0.125f, 64), (bytes_t{17, 13, 15, 251}));
    EXPECT_EQ(trilinear(t, 0.125f, 0.125f, 128), (bytes_t{34, 26, 30, 247}));
    EXPECT_EQ(trilinear(t, 0.125f, 0.125f, 200), (bytes_t{53, 41, 47, 242}));
    EXPECT_EQ(trilinear(t, 0.125f, 0.125f, 320), (bytes_t{76, 58, 68, 234}));
    // At and beyond the last level: its one texel.
    EXPECT_EQ(trilinear(t, 0.125f, 0.125f, 512), (bytes_t{101, 77, 90, 219}));
    EXPECT_EQ(trilinear(t, 0.9f, 0.2f, INT32_MAX), (bytes_t{101, 77, 90, 219}));
    // Without a chain, level 0.
    texture_t bare(4, 4, 32);
    std::memcpy(bare.pixels, t.pixels, 64);
    EXPECT_EQ(trilinear(bare, 0.125f, 0.125f, 300), (bytes_t{0, 0, 0, 255}));
}

TEST(TextureFilter, FilteredTrianglesReadTheirTexelsThroughTheFilter) {
    // A texture of one colour reads the same through every filter: weights sum to 2^16 exactly.
    texture_t plain(8, 8, 32);
    for (uint32_t i = 0; i < 64; ++i) std::memcpy(plain.pixels + i * 4, "\x30\x90\xE0\x20", 4);
    plain.build_mips();
    const vec4_t colour(0.3f, 0.6f, 0.9f, 0.5f);
    const vertex_t a = screen_corner(1.0f, 1.0f, 0.5f, colour, vec4_t(-0.4f, 0.1f, 0, 0));
    const vertex_t b = screen_corner(30.0f, 4.0f, 0.5f, colour, vec4_t(2.5f, -0.3f, 0, 0));
    const vertex_t c = screen_corner(6.0f, 21.0f, 0.5f, colour, vec4_t(0.2f, 3.1f, 0, 0));
    render_target_t reference(32, 24);
    reference.clear_depth_rows(0, 24);
    draw_state_t nearest;
    nearest.textured = 1;
    frame_counters_t reference_counts;
    {
        frame_renderer_t r(reference, nearest, reference_counts);
        draw_screen_triangle(r, a, b, c, plain);
    }
    for (const texture_filter_t filter : {texture_filter_t::linear, texture_filter_t::trilinear}) {
        render_target_t target(32, 24);
        target.clear_depth_rows(0, 24);
        draw_state_t state = nearest;
        state.filter = filter;
        frame_counters_t counts;
        {
            frame_renderer_t r(target, state, counts);
            draw_screen_triangle(r, a, b, c, plain);
        }
        EXPECT_EQ(counts.pixel_count, reference_counts.pixel_count);
        EXPECT_EQ(std::memcmp(target.framebuffer, reference.framebuffer, 32 * 24 * 4), 0);
        EXPECT_EQ(std::memcmp(target.zbuffer, reference.zbuffer, 32 * 24 * 4), 0);
    }
}
