// Tests of texture_t: construction rules, loading into tightly packed texels with T = 255 - alpha, and failed loads.
#include "target/texture.h"

#include "runtime/image.h"
#include "runtime/test_image_bmp_writer.h"

#include <gtest/gtest.h>

#include <vector>

using bmp_fixture::layout_t;
using bmp_fixture::pattern;
using bmp_fixture::picture_t;
using bmp_fixture::temp_file_t;

namespace {

std::vector<uint8_t> texel_bytes(const texture_t& t) {
    const size_t n = static_cast<size_t>(t.width) * t.height * (t.depth / 8);
    return std::vector<uint8_t>(t.pixels, t.pixels + n);
}

// What a loaded texture must hold for the picture: B, G, R, 255 - A per texel, top row first.
std::vector<uint8_t> expected_texels(const picture_t& p, bool opaque) {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            const uint32_t c = p.at(x, y);
            out.push_back(static_cast<uint8_t>(c));
            out.push_back(static_cast<uint8_t>(c >> 8));
            out.push_back(static_cast<uint8_t>(c >> 16));
            out.push_back(opaque ? 0 : static_cast<uint8_t>(255 - (c >> 24)));
        }
    }
    return out;
}

// Loads the bytes into a (32, 32, 32) texture and checks the outcome.
void expect_texture(const std::vector<uint8_t>& file, const picture_t& p, bool opaque) {
    temp_file_t f("texture.bmp", file);
    texture_t t(32, 32, 32);
    ASSERT_TRUE(t.load(f.path()));
    EXPECT_EQ(t.get_width(), static_cast<uint32_t>(p.width));
    EXPECT_EQ(t.get_height(), static_cast<uint32_t>(p.height));
    EXPECT_EQ(t.depth, 32u);
    EXPECT_EQ(t.get_bytes_per_texel(), 4u);
    EXPECT_EQ(t.get_pixels(), t.pixels);
    EXPECT_EQ(texel_bytes(t), expected_texels(p, opaque));
}

// A load that must fail and leave the texture exactly as it was.
void expect_refused(const char* path, const char* why) {
    SCOPED_TRACE(why);
    texture_t t(3, 2, 32);
    for (size_t i = 0; i < 24; ++i) t.pixels[i] = static_cast<uint8_t>(i + 1);
    const uint8_t* before = t.pixels;
    EXPECT_FALSE(t.load(path));
    EXPECT_EQ(t.width, 3u);
    EXPECT_EQ(t.height, 2u);
    EXPECT_EQ(t.depth, 32u);
    EXPECT_EQ(t.pixels, before);
    for (size_t i = 0; i < 24; ++i) ASSERT_EQ(t.pixels[i], i + 1);
}

void expect_refused(const std::vector<uint8_t>& file, const char* why) {
    temp_file_t f("refused.bmp", file);
    expect_refused(f.path(), why);
}

}  // namespace

TEST(Texture, ConstructorClampsAndZeroFills) {
    const texture_t none(0, 0, 32);
    EXPECT_EQ(none.width, 1u);
    EXPECT_EQ(none.height, 1u);
    EXPECT_EQ(none.depth, 32u);
    EXPECT_EQ(texel_bytes(none), std::vector<uint8_t>(4, 0));

    const texture_t shallow(4, 4, 4);
    EXPECT_EQ(shallow.depth, 8u);
    EXPECT_EQ(shallow.get_bytes_per_texel(), 1u);
    EXPECT_EQ(texel_bytes(shallow), std::vector<uint8_t>(16, 0));

    const texture_t scene(32, 32, 32);
    EXPECT_EQ(scene.get_width(), 32u);
    EXPECT_EQ(scene.get_height(), 32u);
    EXPECT_EQ(scene.get_bytes_per_texel(), 4u);
    EXPECT_EQ(texel_bytes(scene), std::vector<uint8_t>(4096, 0));

    // Depths between whole bytes keep their value; bytes per texel divide down.
    const texture_t odd(5, 3, 12);
    EXPECT_EQ(odd.depth, 12u);
    EXPECT_EQ(odd.get_bytes_per_texel(), 1u);
    EXPECT_EQ(texel_bytes(odd), std::vector<uint8_t>(15, 0));
    EXPECT_EQ(texture_t(2, 2, 0).depth, 8u);
    EXPECT_EQ(texture_t(2, 2, 33).depth, 32u);
    EXPECT_EQ(texture_t(2, 2, UINT32_MAX).depth, 32u);
    const texture_t tall(0, 7, 24);
    EXPECT_EQ(tall.width, 1u);
    EXPECT_EQ(tall.height, 7u);
    EXPECT_EQ(texel_bytes(tall), std::vector<uint8_t>(21, 0));

    // Sides beyond what any load accepts are clamped, keeping the byte count bounded.
    const texture_t wide(UINT32_MAX, 1, 8);
    EXPECT_EQ(wide.width, static_cast<uint32_t>(rt::image_max_side));
    EXPECT_EQ(wide.height, 1u);
}

TEST(Texture, LoadPacksRowsTightlyWithTransparency) {
    // 20 x 10 from a 24-bit file: 800 bytes, every T 0, although the file's rows are 60
    // bytes and the image buffer's 80.
    const picture_t p20 = pattern(20, 10, false);
    expect_texture(bmp_fixture::write(p20, layout_t{}), p20, true);

    // Widths whose 24-bit rows carry 3, 2 and 1 bytes of padding.
    for (int32_t width : {1, 5, 7}) {
        SCOPED_TRACE(width);
        const picture_t p = pattern(width, 4, false);
        expect_texture(bmp_fixture::write(p, layout_t{}), p, true);
    }

    // 32 bits with an alpha mask: alpha 64 gives T 191 with blue, green and red untouched.
    const picture_t alpha = pattern(6, 5, true);
    ASSERT_EQ(alpha.at(0, 0) >> 24, 64u);
    layout_t v5;
    v5.bits = 32;
    v5.bitfields = true;
    v5.info_size = 124;
    temp_file_t f("alpha.bmp", bmp_fixture::write(alpha, v5));
    texture_t t(32, 32, 32);
    ASSERT_TRUE(t.load(f.path()));
    const uint32_t c = alpha.at(0, 0);
    EXPECT_EQ(t.pixels[0], static_cast<uint8_t>(c));
    EXPECT_EQ(t.pixels[1], static_cast<uint8_t>(c >> 8));
    EXPECT_EQ(t.pixels[2], static_cast<uint8_t>(c >> 16));
    EXPECT_EQ(t.pixels[3], 191);
    expect_texture(bmp_fixture::write(alpha, v5), alpha, false);

    // A top-down file loads right side up: the same texels as its bottom-up twin.
    v5.top_down = true;
    expect_texture(bmp_fixture::write(alpha, v5), alpha, false);
    layout_t down24;
    down24.top_down = true;
    expect_texture(bmp_fixture::write(p20, down24), p20, true);
}

TEST(Texture, ReloadReplacesSizeAndContents) {
    const picture_t big = pattern(7, 6, true);
    const picture_t small = pattern(2, 3, false);
    layout_t v5;
    v5.bits = 32;
    v5.bitfields = true;
    v5.info_size = 124;
    temp_file_t first("first.bmp", bmp_fixture::write(big, v5));
    temp_file_t second("second.bmp", bmp_fixture::write(small, layout_t{}));
    texture_t t(4, 4, 8);
    ASSERT_TRUE(t.load(first.path()));
    EXPECT_EQ(texel_bytes(t), expected_texels(big, false));
    ASSERT_TRUE(t.load(second.path()));
    EXPECT_EQ(t.width, 2u);
    EXPECT_EQ(t.height, 3u);
    EXPECT_EQ(texel_bytes(t), expected_texels(small, true));

    // A failed load after a good one keeps the good picture.
    temp_file_t missing("not-there.bmp");
    EXPECT_FALSE(t.load(missing.path()));
    EXPECT_EQ(t.width, 2u);
    EXPECT_EQ(t.height, 3u);
    EXPECT_EQ(t.depth, 32u);
    EXPECT_EQ(texel_bytes(t), expected_texels(small, true));
}

TEST(Texture, FailedLoadsLeaveTheTextureAsItWas) {
    temp_file_t missing("not-there.bmp");
    expect_refused(missing.path(), "missing file");
    expect_refused(nullptr, "no name");
    expect_refused(std::vector<uint8_t>{}, "empty file");
    expect_refused(std::vector<uint8_t>{'B', 'M'}, "magic only");
    std::vector<uint8_t> garbage(300);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 97 + 13);
    expect_refused(garbage, "garbage");

    const picture_t p = pattern(5, 3, false);
    const std::vector<uint8_t> good = bmp_fixture::write(p, layout_t{});
    for (size_t n : {size_t{10}, size_t{21}, size_t{25}, size_t{53}, size_t{54}, good.size() - 1}) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        expect_refused(cut, "truncated");
    }
    auto with32 = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> bytes = good;
        bmp_fixture::set32(bytes, at, v);
        return bytes;
    };
    expect_refused(with32(22, 0), "zero height");
    expect_refused(with32(18, 0), "zero width");
    expect_refused(with32(18, 16385), "width beyond the limit");
    expect_refused(with32(22, static_cast<uint32_t>(-16385)), "top-down height beyond the limit");
    expect_refused(with32(22, 0xFFFFFFFFu / 2), "absurd height");
    // Within the limits but far beyond the file: refused before the buffer is made.
    std::vector<uint8_t> huge = with32(18, 16384);
    bmp_fixture::set32(huge, 22, 16384);
    expect_refused(huge, "16384 x 16384 declared in a 100-byte file");
    // Other hostile headers are covered where the decoder's checks live (test_image).
}
