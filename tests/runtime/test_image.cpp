// Tests of image buffers and BMP loading: every accepted layout decoded exactly, hostile files refused.
#include "runtime/image.h"

#include "runtime/test_image_bmp_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using bmp_fixture::layout_t;
using bmp_fixture::pattern;
using bmp_fixture::picture_t;
using bmp_fixture::temp_file_t;

namespace {

// The image's pixel (x, y) as 0xAARRGGBB, read from its B, G, R, A bytes.
uint32_t pixel(const rt::image_t* image, int32_t x, int32_t y) {
    const rt::image_info_t info = rt::image_query(image);
    const uint8_t* p = info.pixels + static_cast<size_t>(y) * static_cast<size_t>(info.pitch) + static_cast<size_t>(x) * 4;
    return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[1]) << 8 | p[0];
}

// Loads the file into a fresh image of the picture's size and compares every pixel with
// expect(x, y); the failure message names the first pixel that differs.
template <typename Expect>
void expect_loads_as(const std::vector<uint8_t>& file, int32_t width, int32_t height, Expect expect) {
    temp_file_t f("image.bmp", file);
    rt::image_t* image = rt::image_create(width, height, 0, 32);
    ASSERT_NE(image, nullptr);
    ASSERT_TRUE(rt::bmp_load(f.path(), image));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t want = expect(x, y);
            const uint32_t got = pixel(image, x, y);
            if (got != want) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << got
                              << ", expected 0x" << want;
                rt::image_destroy(image);
                return;
            }
        }
    }
    rt::image_destroy(image);
}

void expect_loads_as(const std::vector<uint8_t>& file, const picture_t& p) {
    expect_loads_as(file, p.width, p.height, [&](int32_t x, int32_t y) { return p.at(x, y); });
}

uint32_t opaque(uint32_t argb) { return argb | 0xFF000000u; }

// True when bmp_load refuses the bytes and leaves a 5 x 3 image (or one of the given
// size) exactly as it was, and bmp_probe refuses them too unless the file itself is sound.
bool refused(const std::vector<uint8_t>& file, int32_t width = 5, int32_t height = 3,
             bool sound_file = false) {
    temp_file_t f("refused.bmp", file);
    rt::image_t* image = rt::image_create(width, height, 0x12345678, 32);
    if (image == nullptr) return false;
    const bool loaded = rt::bmp_load(f.path(), image);
    bool unchanged = true;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) unchanged = unchanged && pixel(image, x, y) == 0x12345678u;
    }
    int32_t w = 0;
    int32_t h = 0;
    const bool probed = rt::bmp_probe(f.path(), &w, &h);
    rt::image_destroy(image);
    return !loaded && unchanged && probed == sound_file;
}

}  // namespace

TEST(Image, CreateQueryAndLimits) {
    rt::image_t* image = rt::image_create(20, 10, 0x80FF4020, 32);
    ASSERT_NE(image, nullptr);
    const rt::image_info_t info = rt::image_query(image);
    EXPECT_EQ(info.width, 20);
    EXPECT_EQ(info.height, 10);
    EXPECT_EQ(info.bytes_per_pixel, 4);
    EXPECT_EQ(info.pitch, 80);
    EXPECT_EQ(info.size, 800);
    ASSERT_NE(info.pixels, nullptr);
    // 0xAARRGGBB lands as the bytes blue, green, red, alpha in every pixel.
    for (int i = 0; i < 800; i += 4) {
        ASSERT_EQ(info.pixels[i + 0], 0x20);
        ASSERT_EQ(info.pixels[i + 1], 0x40);
        ASSERT_EQ(info.pixels[i + 2], 0xFF);
        ASSERT_EQ(info.pixels[i + 3], 0x80);
    }
    rt::image_destroy(image);

    image = rt::image_create(1, 1, 0, 32);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixel(image, 0, 0), 0u);
    rt::image_destroy(image);

    image = rt::image_create(rt::image_max_side, 1, 0, 32);
    EXPECT_NE(image, nullptr);
    rt::image_destroy(image);

    EXPECT_EQ(rt::image_create(0, 10, 0, 32), nullptr);
    EXPECT_EQ(rt::image_create(10, 0, 0, 32), nullptr);
    EXPECT_EQ(rt::image_create(-1, 10, 0, 32), nullptr);
    EXPECT_EQ(rt::image_create(10, INT32_MIN, 0, 32), nullptr);
    EXPECT_EQ(rt::image_create(rt::image_max_side + 1, 1, 0, 32), nullptr);
    EXPECT_EQ(rt::image_create(1, rt::image_max_side + 1, 0, 32), nullptr);
    EXPECT_EQ(rt::image_create(10, 10, 0, 24), nullptr);
    EXPECT_EQ(rt::image_create(10, 10, 0, 8), nullptr);

    const rt::image_info_t none = rt::image_query(nullptr);
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.pixels, nullptr);
    EXPECT_EQ(none.size, 0);
    rt::image_destroy(nullptr);
    EXPECT_FALSE(rt::bmp_load("unused.bmp", nullptr));
}

TEST(Image, TrueColourLayoutsDecodeExactly) {
    // Widths 1, 2, 3, 5 and 7 give 24-bit rows of 3, 6, 9, 15 and 21 bytes: every amount of
    // row padding. Bottom-up and top-down files of one picture must load identically.
    for (int32_t width : {1, 2, 3, 5, 7}) {
        SCOPED_TRACE(width);
        const picture_t p = pattern(width, 3, false);
        layout_t l;
        expect_loads_as(bmp_fixture::write(p, l), p);
        l.top_down = true;
        expect_loads_as(bmp_fixture::write(p, l), p);
        l.info_size = 124;
        expect_loads_as(bmp_fixture::write(p, l), p);
        l.gap = 6;  // pixel rows placed further out than the tables end
        expect_loads_as(bmp_fixture::write(p, l), p);
    }

    // 32-bit with an alpha mask (a V5 and a V4 header): alpha comes through as stored,
    // including 64 and 0.
    const picture_t alpha = pattern(5, 4, true);
    ASSERT_EQ(alpha.at(0, 0) >> 24, 64u);
    layout_t v5;
    v5.bits = 32;
    v5.bitfields = true;
    v5.info_size = 124;
    expect_loads_as(bmp_fixture::write(alpha, v5), alpha);
    v5.top_down = true;
    expect_loads_as(bmp_fixture::write(alpha, v5), alpha);
    layout_t v4 = v5;
    v4.info_size = 108;
    expect_loads_as(bmp_fixture::write(alpha, v4), alpha);
    // Channels in another byte order (red in the lowest byte) are reordered.
    layout_t abgr = v5;
    abgr.masks[0] = 0x000000FF;
    abgr.masks[2] = 0x00FF0000;
    expect_loads_as(bmp_fixture::write(alpha, abgr), alpha);

    // A 40-byte header with its three masks after it has no alpha mask: opaque.
    layout_t three_masks;
    three_masks.bits = 32;
    three_masks.bitfields = true;
    expect_loads_as(bmp_fixture::write(alpha, three_masks), alpha.width, alpha.height,
                    [&](int32_t x, int32_t y) { return opaque(alpha.at(x, y)); });

    // 16-bit 5-5-5: each channel keeps its top five bits, widened to floor(v * 255 / 31).
    const picture_t p16 = pattern(3, 2, false);
    layout_t l16;
    l16.bits = 16;
    expect_loads_as(bmp_fixture::write(p16, l16), p16.width, p16.height, [&](int32_t x, int32_t y) {
        uint32_t out = 0xFF000000u;
        for (int shift : {16, 8, 0}) {
            const uint32_t v = ((p16.at(x, y) >> shift) & 0xFF) >> 3;
            out |= (v * 255 / 31) << shift;
        }
        return out;
    });
}

TEST(Image, ThirtyTwoBitWithoutMasksTreatsAllZeroFourthBytesAsOpaque) {
    // A plain 32-bit file: its fourth bytes are alpha when any of them is non-zero...
    const picture_t p = pattern(4, 3, true);
    layout_t plain;
    plain.bits = 32;
    expect_loads_as(bmp_fixture::write(p, plain), p);

    // ...but when every one is zero (as older writers leave them) the picture is opaque.
    picture_t clear = p;
    for (uint32_t& c : clear.argb) c &= 0x00FFFFFF;
    expect_loads_as(bmp_fixture::write(clear, plain), clear.width, clear.height,
                    [&](int32_t x, int32_t y) { return opaque(clear.at(x, y)); });

    // A single non-zero alpha byte keeps all the others at 0.
    clear.argb[5] |= 0x01000000;
    expect_loads_as(bmp_fixture::write(clear, plain), clear);
}

TEST(Image, PalettedLayoutsDecodeExactly) {
    // 8-bit: up to 256 colours; a width of 5 pads each row to 8 bytes.
    const picture_t p8 = pattern(5, 3, false);
    layout_t l8;
    l8.bits = 8;
    expect_loads_as(bmp_fixture::write(p8, l8), p8);
    l8.top_down = true;
    expect_loads_as(bmp_fixture::write(p8, l8), p8);

    // 4-bit: at most 16 colours, two pixels a byte, an odd width leaving half a byte.
    picture_t p4{7, 3, {}};
    for (int i = 0; i < 21; ++i) p4.argb.push_back(0xFF000000u | static_cast<uint32_t>(i % 9) * 0x1D2B39u);
    layout_t l4;
    l4.bits = 4;
    expect_loads_as(bmp_fixture::write(p4, l4), p4);

    // 1-bit: two colours, eight pixels a byte; width 11 spills into a second byte.
    picture_t p1{11, 2, {}};
    for (int i = 0; i < 22; ++i) p1.argb.push_back(i % 3 == 0 ? 0xFF102030u : 0xFFF0E0D0u);
    layout_t l1;
    l1.bits = 1;
    expect_loads_as(bmp_fixture::write(p1, l1), p1);
}

TEST(Image, ProbeReportsStoredSize) {
    const picture_t p = pattern(6, 4, false);
    layout_t l;
    l.top_down = true;
    temp_file_t f("probe.bmp", bmp_fixture::write(p, l));
    int32_t w = 0;
    int32_t h = 0;
    ASSERT_TRUE(rt::bmp_probe(f.path(), &w, &h));
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, -4);
    EXPECT_TRUE(rt::bmp_probe(f.path(), nullptr, nullptr));
    EXPECT_FALSE(rt::bmp_probe(nullptr, &w, &h));

    // Bytes after the last row are harmless.
    std::vector<uint8_t> longer = bmp_fixture::write(p, l);
    longer.resize(longer.size() + 100, 0xAB);
    expect_loads_as(longer, p);
}

TEST(Image, RefusesFilesItCannotFullyRead) {
    const picture_t p = pattern(5, 3, true);
    layout_t l24;
    const std::vector<uint8_t> good24 = bmp_fixture::write(p, l24);
    layout_t l8;
    l8.bits = 8;
    const std::vector<uint8_t> good8 = bmp_fixture::write(pattern(5, 3, false), l8);
    ASSERT_FALSE(refused(good24));
    ASSERT_FALSE(refused(good8));

    // Every truncation, from the empty file to one byte short, fails and leaves the image alone.
    for (const auto* good : {&good24, &good8}) {
        for (size_t n = 0; n < good->size(); ++n) {
            const std::vector<uint8_t> cut(good->begin(), good->begin() + static_cast<std::ptrdiff_t>(n));
            ASSERT_TRUE(refused(cut)) << "cut to " << n << " of " << good->size() << " bytes";
        }
    }

    // A file of the wrong size for the image is refused too.
    EXPECT_TRUE(refused(good24, 5, 4, true));
    EXPECT_TRUE(refused(good24, 4, 3, true));

    // Not a file at all, or not a BMP.
    temp_file_t missing("no-such-file.bmp");
    rt::image_t* image = rt::image_create(5, 3, 0, 32);
    EXPECT_FALSE(rt::bmp_load(missing.path(), image));
    EXPECT_FALSE(rt::bmp_load(std::filesystem::temp_directory_path().c_str(), image));
    EXPECT_FALSE(rt::bmp_load(nullptr, image));
    rt::image_destroy(image);
    std::vector<uint8_t> garbage(200);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 151 + 7);
    EXPECT_TRUE(refused(garbage));
    std::vector<uint8_t> png_magic = good24;
    png_magic[0] = 0x89;
    png_magic[1] = 'P';
    EXPECT_TRUE(refused(png_magic));
}

TEST(Image, RefusesHostileHeaders) {
    const picture_t p = pattern(5, 3, false);
    const std::vector<uint8_t> good = bmp_fixture::write(p, layout_t{});
    auto with32 = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> bytes = good;
        bmp_fixture::set32(bytes, at, v);
        return bytes;
    };
    auto with16 = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> bytes = good;
        bytes[at] = static_cast<uint8_t>(v);
        bytes[at + 1] = static_cast<uint8_t>(v >> 8);
        return bytes;
    };

    // Pixel data offsets past the end, into the headers, or wrapping around.
    EXPECT_TRUE(refused(with32(10, static_cast<uint32_t>(good.size()))));
    EXPECT_TRUE(refused(with32(10, 55)));
    EXPECT_TRUE(refused(with32(10, 0)));
    EXPECT_TRUE(refused(with32(10, 0xFFFFFFF0u)));
    // Header sizes outside the INFO family (OS/2 core 12 and 2.x 64, nonsense values).
    for (uint32_t size : {0u, 12u, 39u, 41u, 64u, 125u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(refused(with32(14, size))) << size;
    }
    // Zero, negative-zero-like and absurd dimensions, all refused before any allocation.
    for (uint32_t width : {0u, 0x80000000u, 0xFFFFFFFFu, 16385u, 1000000u}) {
        EXPECT_TRUE(refused(with32(18, width))) << width;
    }
    for (uint32_t height : {0u, 0x80000000u, 16385u, static_cast<uint32_t>(-16385), 0x7FFFFFFFu}) {
        EXPECT_TRUE(refused(with32(22, height))) << height;
    }
    // A declared size within the limits whose rows the file does not hold.
    EXPECT_TRUE(refused(with32(18, 16384), 16384, 3));
    // Planes other than 1; bit counts the format does not have.
    EXPECT_TRUE(refused(with16(26, 0)));
    EXPECT_TRUE(refused(with16(26, 2)));
    for (uint32_t bits : {0u, 2u, 3u, 15u, 31u, 48u, 64u, 0xFFFFu}) {
        EXPECT_TRUE(refused(with16(28, bits))) << bits;
    }
    // Run-length, JPEG, PNG and alpha-bit-field compression; bit fields on 24 bits.
    for (uint32_t compression : {1u, 2u, 4u, 5u, 6u, 11u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(refused(with32(30, compression))) << compression;
    }
    EXPECT_TRUE(refused(with32(30, 3)));

    // A palette larger than the bit count allows, or reaching past the end of the file.
    layout_t l8;
    l8.bits = 8;
    const std::vector<uint8_t> good8 = bmp_fixture::write(p, l8);
    std::vector<uint8_t> big_palette = good8;
    bmp_fixture::set32(big_palette, 46, 257);
    EXPECT_TRUE(refused(big_palette));
    bmp_fixture::set32(big_palette, 46, 0xFFFFFFFFu);
    EXPECT_TRUE(refused(big_palette));
    std::vector<uint8_t> long_palette = good8;
    bmp_fixture::set32(long_palette, 46, 200);  // 800 bytes of palette in a file of 100-odd
    EXPECT_TRUE(refused(long_palette));

    // Masks that describe no pixel format the decoder knows: refused, not misread.
    layout_t odd;
    odd.bits = 32;
    odd.bitfields = true;
    odd.info_size = 124;
    for (uint32_t& m : odd.masks) m = 0xFFFFFFFFu;
    temp_file_t f("odd-masks.bmp", bmp_fixture::write(p, odd));
    rt::image_t* image = rt::image_create(5, 3, 0, 32);
    EXPECT_FALSE(rt::bmp_load(f.path(), image));
    rt::image_destroy(image);
}
