// Tests of texture loading from files: tightly packed texels with T = 255 - alpha (from our own files, the shipped
// asset and ImageMagick's), failed loads.
#include "model/texture_files.h"

#include "runtime/bmp_fixtures.h"
#include "runtime/image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

using namespace bmp_fixture;

namespace {

std::vector<uint8_t> texel_bytes(const texture_t& t) {
    return std::vector<uint8_t>(t.pixels, t.pixels + size_t{t.width} * t.height * (t.depth / 8));
}

// Loads the file into a (32, 32, 32) texture, which must then hold the picture's size and per
// texel B, G, R, 255 - A (T 0 throughout for an opaque file), top row first, tightly packed.
testing::AssertionResult loads_as(const char* path, const picture_t& p, bool opaque) {
    texture_t t(32, 32, 32);
    if (!load_texture(t, path)) return testing::AssertionFailure() << "refused";
    std::vector<uint32_t> texels;
    for (uint32_t c : p.argb) texels.push_back((c & 0xFFFFFF) | (opaque ? 0 : 255 - (c >> 24)) << 24);
    const std::vector<uint8_t> want = little_endian_bytes(texels);
    if (std::tuple(t.width, t.height, t.depth, t.get_bytes_per_texel()) !=
        std::tuple(uint32_t(p.width), uint32_t(p.height), 32u, 4u))
        return testing::AssertionFailure() << "size " << t.width << " x " << t.height;
    return texel_bytes(t) == want ? testing::AssertionSuccess() : testing::AssertionFailure() << "texels differ";
}

// Has ImageMagick's convert write the picture (given as raw RGBA) as a BMP at out; the options end
// in the output format, for example "BMP3:".
bool convert_to_bmp(const picture_t& p, const std::string& options, const temp_file_t& out) {
    std::vector<uint32_t> abgr;
    for (uint32_t c : p.argb) abgr.push_back((c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16 | (c & 0xFF000000));
    temp_file_t in("convert-in.rgba", little_endian_bytes(abgr));
    return std::system(("convert -size " + std::to_string(p.width) + "x" + std::to_string(p.height) +
                        " -depth 8 rgba:'" + in.path_ + "' " + options + "'" + out.path_ + "' 2>/dev/null")
                           .c_str()) == 0;
}

}  // namespace

TEST(TextureFiles, LoadPacksRowsTightlyRightSideUpWithTransparency) {
    // 20 x 10 from a 24-bit file: 800 bytes, though the file's rows are 60 bytes and the image
    // buffer's 80; 32 bits with an alpha mask; a top-down file loads right side up. (Every row
    // padding and layout is decoded by the runtime's BMP reader, tested on its own.)
    const picture_t p20 = pattern(20, 10, false), alpha = pattern(6, 5, true);
    for (const auto& [p, layout, opaque] : {std::tuple(p20, layout_t(24), true),
                                            {alpha, layout_t(32, 124, false, true), false},
                                            {p20, layout_t(24, 40, true), true}}) {
        EXPECT_TRUE(loads_as(temp_file_t("texture.bmp", write(p, layout)).path(), p, opaque))
            << p.width << " x " << p.height << ", " << describe(layout);
    }
    // Alpha 64 becomes T 191, blue, green and red unchanged.
    ASSERT_EQ(alpha.at(0, 0), 0x400B1D03u);
    texture_t t(32, 32, 32);
    ASSERT_TRUE(load_texture(t, temp_file_t("alpha.bmp", write(alpha, layout_t(32, 124, false, true))).path()));
    EXPECT_EQ(std::vector<uint8_t>(t.pixels, t.pixels + 4), std::vector<uint8_t>({0x03, 0x1D, 0x0B, 191}));
}

TEST(TextureFiles, FailedLoadsLeaveTheTextureAsItWas) {
    const std::vector<uint8_t> good = write(pattern(5, 3, false), layout_t(24));
    std::vector<uint8_t> garbage(300);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 97 + 13);
    // Empty, magic only, garbage, zero height or width, sides beyond the limit or absurd, and a
    // size within the limits but far beyond the file (refused before any buffer is made).
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
        {"empty", {}},
        {"magic only", {'B', 'M'}},
        {"garbage", garbage},
        {"height 0", patched(good, 22, 0)},
        {"width 0", patched(good, 18, 0)},
        {"width 16385", patched(good, 18, 16385)},
        {"height -16385", patched(good, 22, static_cast<uint32_t>(-16385))},
        {"height 2^31 - 1", patched(good, 22, 0x7FFFFFFF)},
        {"16384 x 16384 in a few bytes", patched(patched(good, 18, 16384), 22, 16384)}};
    for (size_t n : {size_t{10}, size_t{21}, size_t{25}, size_t{53}, size_t{54}, good.size() - 1})
        files.emplace_back("cut to " + std::to_string(n) + " bytes",
                           std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));

    // A texture holding a loaded picture keeps it through every refused file, a missing one and no name.
    const picture_t small = pattern(2, 3, true);
    temp_file_t loaded("loaded.bmp", write(small, layout_t(32, 124, false, true))), missing("not-there.bmp");
    texture_t t(4, 4, 8);
    ASSERT_TRUE(load_texture(t, loaded.path()));
    const std::vector<uint8_t> texels = texel_bytes(t);
    const auto keeps = [&](const char* path) {
        return !load_texture(t, path) && std::tuple(t.width, t.height, t.depth) == std::tuple(2u, 3u, 32u) &&
               texel_bytes(t) == texels;
    };
    for (const auto& [name, bytes] : files) EXPECT_TRUE(keeps(temp_file_t("refused.bmp", bytes).path())) << name;
    EXPECT_TRUE(keeps(missing.path()));
    EXPECT_TRUE(keeps(nullptr));
    EXPECT_TRUE(loads_as(loaded.path(), small, false));
}

TEST(TextureFiles, TheShippedAssetIsTheLabelledCheckerMakeTextureWrites) {
    const std::string asset = std::string(SOFTCUBE_SOURCE_DIR) + "/assets/tex.bmp";
    texture_t t(32, 32, 32);
    ASSERT_TRUE(load_texture(t, asset.c_str())) << asset;
    ASSERT_EQ(std::tuple(t.width, t.height, t.depth), std::tuple(64u, 64u, 32u));
    const auto texel = [&](uint32_t x, uint32_t y) {
        const uint8_t* b = t.pixels + (x + y * 64) * 4;
        return uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
    };
    // As 0xTTRRGGBB: an orange top-left cell, blue beside and below it; opaque at the left, T 191
    // (alpha 64) at the right. Row 0 is the top: the "0" at the top left has a full top bar at y 3,
    // the "C" at the bottom left is open on its right.
    EXPECT_EQ(std::vector<uint32_t>(
                  {texel(0, 0), texel(16, 0) & 0xFFFFFF, texel(0, 16), texel(63, 0) >> 24, texel(63, 63) >> 24}),
              std::vector<uint32_t>({0x00E67828u, 0x2864D2u, 0x002864D2u, 191, 191}));
    for (uint32_t x = 5; x < 11; ++x) EXPECT_EQ(texel(x, 3), 0x00FFFFFFu) << x;
    EXPECT_EQ(std::pair(texel(5, 55), texel(9, 55) == 0x00FFFFFFu), std::pair(0x00FFFFFFu, false));

    const std::string tool = std::string(SOFTCUBE_BINARY_DIR) + "/tools/make_texture";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "make_texture is not built at " << tool;
    temp_file_t out("make_texture.bmp");
    ASSERT_EQ(std::system(("'" + tool + "' '" + out.path_ + "'").c_str()), 0);
    EXPECT_EQ(std::system(("cmp -s '" + out.path_ + "' '" + asset + "'").c_str()), 0)
        << "assets/tex.bmp differs from make_texture's output";
    EXPECT_NE(std::system(("'" + tool + "' /nonexistent-dir/tex.bmp 2>/dev/null").c_str()), 0);
}

TEST(TextureFiles, FilesWrittenByConvertLoadExactlyOrAreRefused) {
    if (std::system("convert -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick's convert is not installed";
    // BMP3: is a 40-byte header and 24 bits without alpha even when the picture has it (rows padded
    // by 0, 3, 1 and 0 bytes); BMP: a V5 header, with alpha masks when the picture has alpha; a
    // 40-byte header of 32 bits keeping alpha in the fourth bytes; 4- and 8-bit palettes.
    const picture_t alpha = pattern(7, 5, true);
    std::vector<std::tuple<picture_t, std::string, bool>> cases = {
        {pattern(5, 3, true), "BMP3:", true},
        {alpha, "BMP:", false},
        {alpha, "-define bmp:format=bmp4 ", false},
        {alpha, "-define bmp3:alpha=true BMP3:", false},
        {pattern(5, 3, false), "-type Palette BMP3:", true},
        {pattern(9, 4, false), "-type Palette -compress none BMP3:", true}};
    for (int32_t width : {20, 1, 5, 4}) {
        for (const char* format : {"BMP3:", "BMP:"})
            cases.emplace_back(pattern(width, width == 20 ? 10 : 3, false), format, true);
    }
    for (const auto& [p, options, opaque] : cases) {
        SCOPED_TRACE(testing::Message() << "convert " << options << " " << p.width << " x " << p.height);
        temp_file_t bmp("convert.bmp");
        ASSERT_TRUE(convert_to_bmp(p, options, bmp));
        EXPECT_TRUE(loads_as(bmp.path(), p, opaque));
    }
    // Run-length 8-bit palettes (convert's default; a few bytes can declare any amount of picture)
    // and OS/2 bitmaps (no 32-bit size fields at offsets 18 and 22) are refused.
    for (const char* options : {"-type Palette BMP3:", "BMP2:"}) {
        temp_file_t bmp("convert.bmp");
        ASSERT_TRUE(convert_to_bmp(pattern(9, 4, false), options, bmp));
        texture_t scratch(3, 3, 32);
        EXPECT_FALSE(load_texture(scratch, bmp.path())) << options;
    }
}
