// Tests of the shipped texture assets/tex.bmp: it loads as the labelled checker, and make_texture rebuilds it byte for byte.
#include "target/texture.h"

#include "runtime/test_image_bmp_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string asset = std::string(SOFTCUBE_SOURCE_DIR) + "/assets/tex.bmp";

std::vector<char> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Texel (x, y) as B, G, R, T packed into 0xTTRRGGBB.
uint32_t texel(const texture_t& t, uint32_t x, uint32_t y) {
    const uint8_t* p = t.pixels + (x + y * t.width) * 4;
    return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[1]) << 8 | p[0];
}

}  // namespace

TEST(TextureAsset, LoadsAsTheLabelledChecker) {
    texture_t t(32, 32, 32);
    ASSERT_TRUE(t.load(asset.c_str())) << asset;
    ASSERT_EQ(t.width, 64u);
    ASSERT_EQ(t.height, 64u);
    ASSERT_EQ(t.depth, 32u);

    // Cell backgrounds: orange in the top-left cell, blue beside and below it. The left
    // column is opaque and T grows to 191 (alpha 64) at the right edge.
    EXPECT_EQ(texel(t, 0, 0), 0x00E67828u);
    EXPECT_EQ(texel(t, 16, 0) & 0xFFFFFF, 0x2864D2u);
    EXPECT_EQ(texel(t, 0, 16), 0x002864D2u);
    EXPECT_EQ(texel(t, 63, 0) >> 24, 191u);
    EXPECT_EQ(texel(t, 63, 63) >> 24, 191u);
    for (uint32_t x = 1; x < 64; ++x) EXPECT_GE(texel(t, x, 1) >> 24, texel(t, x - 1, 1) >> 24);

    // Row 0 is the top: the "0" in the top-left cell has a full top bar (6 pixels wide,
    // from x 5, at y 3 and 4) and a hollow middle, while the "C" in the bottom-left cell
    // is open on its right.
    for (uint32_t x = 5; x < 11; ++x) EXPECT_EQ(texel(t, x, 3), 0x00FFFFFFu) << x;
    EXPECT_NE(texel(t, 7, 7), 0x00FFFFFFu);
    EXPECT_EQ(texel(t, 9, 7), 0x00FFFFFFu);
    EXPECT_EQ(texel(t, 5, 48 + 7), 0x00FFFFFFu);
    EXPECT_NE(texel(t, 9, 48 + 7), 0x00FFFFFFu);
    // The "1" in the next cell is not mirrored: its flag points left.
    EXPECT_EQ(texel(t, 16 + 5, 5), 0x00FFFFFFu);
    EXPECT_NE(texel(t, 16 + 9, 5), 0x00FFFFFFu);
}

TEST(TextureAsset, MakeTextureRebuildsItExactly) {
    const std::string tool = std::string(SOFTCUBE_BINARY_DIR) + "/tools/make_texture";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "make_texture is not built at " << tool;
    bmp_fixture::temp_file_t out("make_texture.bmp");
    ASSERT_EQ(std::system(("'" + tool + "' '" + out.path() + "'").c_str()), 0);
    const std::vector<char> made = file_bytes(out.path());
    EXPECT_EQ(made.size(), 14u + 124u + 64u * 64u * 4u);
    EXPECT_TRUE(made == file_bytes(asset)) << "assets/tex.bmp differs from make_texture's output";
    // Bad arguments and unwritable paths give a non-zero status.
    EXPECT_NE(std::system(("'" + tool + "' a b 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system(("'" + tool + "' /nonexistent-dir/tex.bmp 2>/dev/null").c_str()), 0);
}
