// Tests of texture_t::load against BMP files written by ImageMagick's convert, an independent writer.
#include "target/texture.h"

#include "runtime/test_image_bmp_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using bmp_fixture::layout_t;
using bmp_fixture::pattern;
using bmp_fixture::picture_t;
using bmp_fixture::temp_file_t;

namespace {

bool have_convert() {
    static const bool found = std::system("convert -version > /dev/null 2>&1") == 0;
    return found;
}

// Writes the picture as raw RGBA bytes and has convert turn it into a BMP at out with the
// given options and output format prefix (for example "BMP3:").
bool convert_to_bmp(const picture_t& p, const std::string& options, const temp_file_t& out) {
    std::vector<uint8_t> raw;
    for (uint32_t c : p.argb) {
        raw.push_back(static_cast<uint8_t>(c >> 16));
        raw.push_back(static_cast<uint8_t>(c >> 8));
        raw.push_back(static_cast<uint8_t>(c));
        raw.push_back(static_cast<uint8_t>(c >> 24));
    }
    temp_file_t in("convert-in.rgba", raw);
    const std::string command = "convert -size " + std::to_string(p.width) + "x" +
                                std::to_string(p.height) + " -depth 8 rgba:'" + in.path() + "' " +
                                options + "'" + out.path() + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

std::vector<uint8_t> expected_texels(const picture_t& p, bool opaque) {
    std::vector<uint8_t> out;
    for (uint32_t c : p.argb) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(opaque ? 0 : static_cast<uint8_t>(255 - (c >> 24)));
    }
    return out;
}

void expect_loads(const picture_t& p, const std::string& options, bool opaque) {
    SCOPED_TRACE(options);
    temp_file_t bmp("convert-out.bmp");
    ASSERT_TRUE(convert_to_bmp(p, options, bmp));
    texture_t t(32, 32, 32);
    ASSERT_TRUE(t.load(bmp.path()));
    ASSERT_EQ(t.width, static_cast<uint32_t>(p.width));
    ASSERT_EQ(t.height, static_cast<uint32_t>(p.height));
    ASSERT_EQ(t.depth, 32u);
    const std::vector<uint8_t> got(t.pixels, t.pixels + static_cast<size_t>(t.width) * t.height * 4);
    EXPECT_EQ(got, expected_texels(p, opaque));
}

}  // namespace

TEST(TextureFromConvert, TwentyFourBitFiles) {
    if (!have_convert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    // BMP3: with an opaque picture is a 40-byte header and 24 bits per pixel; the widths
    // give row padding of 0, 3, 1 and 0 bytes.
    for (int32_t width : {20, 1, 5, 4}) {
        SCOPED_TRACE(width);
        const picture_t p = pattern(width, width == 20 ? 10 : 3, false);
        expect_loads(p, "BMP3:", true);
        // BMP: writes the same pixels under a V5 header.
        expect_loads(p, "BMP:", true);
    }
    // convert writes BMP3 without alpha even when the picture has it: T is 0 throughout.
    expect_loads(pattern(5, 3, true), "BMP3:", true);
}

TEST(TextureFromConvert, ThirtyTwoBitFilesWithAlpha) {
    if (!have_convert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    // BMP: with alpha is a V5 header with bit-field masks including alpha; pixel (0, 0)
    // of the pattern has alpha 64, so its T is 191.
    const picture_t p = pattern(7, 5, true);
    ASSERT_EQ(p.at(0, 0) >> 24, 64u);
    expect_loads(p, "BMP:", false);
    expect_loads(p, "-define bmp:format=bmp4 ", false);
    // A 40-byte header with 32 bits and no masks, its fourth bytes holding alpha.
    expect_loads(p, "-define bmp3:alpha=true BMP3:", false);
}

TEST(TextureFromConvert, PalettedAndOtherWriters) {
    if (!have_convert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    // Few colours make convert write an uncompressed 4-bit palette, a few more an 8-bit one.
    picture_t few{7, 3, {}};
    for (int i = 0; i < 21; ++i) few.argb.push_back(0xFF000000u | static_cast<uint32_t>(i % 6) * 0x2A1B0Cu);
    expect_loads(few, "-type Palette BMP3:", true);
    const picture_t many = pattern(9, 4, false);
    expect_loads(many, "-type Palette -compress none BMP3:", true);
    // convert's default for 8-bit palettes is run-length encoding, which the loader refuses
    // (a few bytes of it can declare any amount of picture): a clean failure.
    temp_file_t rle("rle8.bmp");
    ASSERT_TRUE(convert_to_bmp(many, "-type Palette BMP3:", rle));
    texture_t refused(3, 3, 32);
    EXPECT_FALSE(refused.load(rle.path()));
    EXPECT_EQ(refused.width, 3u);

    // The fixture writer and convert agree on the file for one picture.
    const picture_t p = pattern(20, 10, false);
    temp_file_t ours("fixture.bmp", bmp_fixture::write(p, layout_t{}));
    temp_file_t theirs("convert.bmp");
    ASSERT_TRUE(convert_to_bmp(p, "BMP3:", theirs));
    texture_t a(1, 1, 32);
    texture_t b(1, 1, 32);
    ASSERT_TRUE(a.load(ours.path()));
    ASSERT_TRUE(b.load(theirs.path()));
    EXPECT_EQ(std::vector<uint8_t>(a.pixels, a.pixels + 800), std::vector<uint8_t>(b.pixels, b.pixels + 800));

    // An OS/2 bitmap (12-byte header) has no 32-bit size fields at offsets 18 and 22: refused.
    temp_file_t os2("os2.bmp");
    ASSERT_TRUE(convert_to_bmp(p, "BMP2:", os2));
    texture_t t(3, 3, 32);
    EXPECT_FALSE(t.load(os2.path()));
    EXPECT_EQ(t.width, 3u);
}
