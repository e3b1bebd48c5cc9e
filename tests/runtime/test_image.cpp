// Tests of image buffers and BMP loading: every accepted layout decoded exactly, hostile files refused.
#include "runtime/image.h"

#include "runtime/bmp_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

using namespace bmp_fixture;

namespace {

// The image's pixel i (row-major) as 0xAARRGGBB, read from its B, G, R, A bytes.
uint32_t pixel(const rt::image_t* image, int32_t i) {
    const rt::image_info_t info = rt::image_query(image);
    const uint8_t* p = info.pixels + static_cast<size_t>(i / info.width * info.pitch + i % info.width * 4);
    return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 |
           p[0];
}

// How the loaded pixels relate to the picture written.
enum class expect_t { as_written, opaque, five_bit };

uint32_t expected(uint32_t argb, expect_t e) {
    if (e != expect_t::five_bit) return e == expect_t::opaque ? argb | 0xFF000000u : argb;
    uint32_t out = 0xFF000000u;  // 5-5-5: each channel's top five bits widened to v * 255 / 31
    for (int shift : {16, 8, 0}) out |= (((argb >> shift) & 0xFF) >> 3) * 255 / 31 << shift;
    return out;
}

// True when bmp_load refuses the bytes and leaves an image of the given size exactly as it
// was, and bmp_probe refuses them too unless the file itself is sound.
bool refused(const std::vector<uint8_t>& file, int32_t width = 5, int32_t height = 3, bool sound_file = false) {
    temp_file_t f("refused.bmp", file);
    rt::image_t* image = rt::image_create(width, height, 0x12345678, 32);
    bool ok =
        image != nullptr && !rt::bmp_load(f.path(), image) && rt::bmp_probe(f.path(), nullptr, nullptr) == sound_file;
    for (int32_t i = 0; ok && i < width * height; ++i) ok = pixel(image, i) == 0x12345678u;
    rt::image_destroy(image);
    return ok;
}

}  // namespace

TEST(Image, CreateQueryAndLimits) {
    rt::image_t* image = rt::image_create(20, 10, 0x80FF4020, 32);
    ASSERT_NE(image, nullptr);
    const rt::image_info_t info = rt::image_query(image);
    EXPECT_EQ(std::vector<int64_t>({info.width, info.height, info.bytes_per_pixel, info.pitch, info.size}),
              std::vector<int64_t>({20, 10, 4, 80, 800}));
    for (int32_t i = 0; i < 200; ++i) ASSERT_EQ(pixel(image, i), 0x80FF4020u) << "pixel " << i;  // bytes B, G, R, A
    rt::image_destroy(image);
    rt::image_destroy(rt::image_create(rt::image_max_side, 1, 0, 32));
    for (auto [w, h, bits] : {std::tuple(0, 10, 32),
                              {10, 0, 32},
                              {-1, 10, 32},
                              {10, INT32_MIN, 32},
                              {rt::image_max_side + 1, 1, 32},
                              {1, rt::image_max_side + 1, 32},
                              {10, 10, 24}}) {
        EXPECT_EQ(rt::image_create(w, h, 0, bits), nullptr) << w << " x " << h << " x " << bits;
    }
    EXPECT_EQ(rt::image_query(nullptr).pixels, nullptr);
    rt::image_destroy(nullptr);
    EXPECT_FALSE(rt::bmp_load("unused.bmp", nullptr));
}

TEST(Image, EveryAcceptedLayoutDecodesExactly) {
    const picture_t alpha = pattern(5, 4, true), p53 = pattern(5, 3, false);
    picture_t clear = alpha, two{11, 2, {}};
    for (uint32_t& c : clear.argb) c &= 0x00FFFFFF;
    picture_t one_alpha = clear;
    one_alpha.argb[5] |= 0x01000000;
    for (int i = 0; i < 22; ++i) two.argb.push_back(i % 3 == 0 ? 0xFF102030u : 0xFFF0E0D0u);
    layout_t abgr(32, 124, false, true), gap(24, 124, true);
    std::swap(abgr.masks[0], abgr.masks[2]);
    gap.gap = 6;
    std::vector<std::tuple<picture_t, layout_t, expect_t>> cases = {
        // 32 bits with an alpha mask (V5, V4, red in the lowest byte): alpha as stored; three
        // masks after a 40-byte header have no alpha: opaque.
        {alpha, layout_t(32, 124, false, true), expect_t::as_written},
        {alpha, layout_t(32, 124, true, true), expect_t::as_written},
        {alpha, layout_t(32, 108, false, true), expect_t::as_written},
        {alpha, abgr, expect_t::as_written},
        {alpha, layout_t(32, 40, false, true), expect_t::opaque},
        // Plain 32 bits: the fourth bytes are alpha unless all of them are zero (older writers).
        {alpha, layout_t(32), expect_t::as_written},
        {clear, layout_t(32), expect_t::opaque},
        {one_alpha, layout_t(32), expect_t::as_written},
        {pattern(3, 2, false), layout_t(16), expect_t::five_bit},
        // Palettes: 8 bits padded from 5 to 8 bytes a row; 15 colours in 4 bits with half a
        // byte left over; 2 colours in 1 bit, width 11 spilling into a second byte.
        {p53, layout_t(8), expect_t::as_written},
        {p53, layout_t(8, 40, true), expect_t::as_written},
        {p53, layout_t(4), expect_t::as_written},
        {two, layout_t(1), expect_t::as_written}};
    // 24-bit widths 1, 2, 3, 5 and 7 have every amount of row padding; bottom-up, top-down, a V5
    // header and rows placed further out than the tables end must all load the same.
    for (int32_t width : {1, 2, 3, 5, 7}) {
        for (const layout_t& l : {layout_t(24), layout_t(24, 40, true), layout_t(24, 124), gap})
            cases.emplace_back(pattern(width, 3, false), l, expect_t::as_written);
    }
    for (const auto& [p, layout, e] : cases) {
        SCOPED_TRACE(testing::Message() << p.width << " x " << p.height << ", " << describe(layout) << ", "
                                        << (e == expect_t::as_written ? "as written"
                                            : e == expect_t::opaque   ? "opaque"
                                                                      : "five bits a channel"));
        temp_file_t f("image.bmp", write(p, layout));
        rt::image_t* image = rt::image_create(p.width, p.height, 0, 32);
        ASSERT_TRUE(rt::bmp_load(f.path(), image));
        for (int32_t i = 0; i < p.width * p.height; ++i)
            ASSERT_EQ(pixel(image, i), expected(p.argb[static_cast<size_t>(i)], e)) << "pixel " << i;
        rt::image_destroy(image);
    }
}

TEST(Image, RefusesTruncatedForeignAndHostileFiles) {
    const std::vector<uint8_t> good24 = write(pattern(5, 3, true), layout_t(24, 40, true));
    layout_t gap4(4);
    gap4.gap = 8;  // room after the 15 colours for a 16th and a 17th
    const std::vector<uint8_t> good8 = write(pattern(5, 3, false), layout_t(8)),
                               good4 = write(pattern(5, 3, false), gap4);
    ASSERT_FALSE(refused(good24));
    ASSERT_FALSE(refused(good8));
    ASSERT_FALSE(refused(good4));
    // The probe gives the stored size (negative height: top-down); bytes after the last row are harmless.
    temp_file_t f("probe.bmp", good24);
    int32_t w = 0, h = 0;
    ASSERT_TRUE(rt::bmp_probe(f.path(), &w, &h));
    EXPECT_EQ(std::pair(w, h), std::pair(5, -3));
    std::vector<uint8_t> longer = good24;
    longer.resize(longer.size() + 100, 0xAB);
    EXPECT_FALSE(refused(longer));
    // Every truncation, from the empty file to one byte short.
    for (const auto& [good, name] :
         {std::pair(&good24, "24-bit file"), {&good8, "8-bit file"}, {&good4, "4-bit file"}}) {
        SCOPED_TRACE(name);
        for (size_t n = 0; n < good->size(); ++n)
            ASSERT_TRUE(refused(std::vector<uint8_t>(good->begin(), good->begin() + static_cast<std::ptrdiff_t>(n))))
                << "cut to " << n << " bytes";
    }
    // A sound file of another size than the image; not a BMP; nothing to read.
    EXPECT_TRUE(refused(good24, 5, 4, true));
    EXPECT_TRUE(refused(good24, 4, 3, true));
    std::vector<uint8_t> garbage(200);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 151 + 7);
    EXPECT_TRUE(refused(garbage));
    EXPECT_TRUE(refused(patched(good24, 0, 0x5089, 2)));  // PNG's first bytes
    temp_file_t missing("no-such-file.bmp");
    const std::string folder = std::filesystem::temp_directory_path().string();
    rt::image_t* image = rt::image_create(5, 3, 0, 32);
    for (const char* name : {missing.path(), folder.c_str(), static_cast<const char*>(nullptr)})
        EXPECT_FALSE(rt::bmp_load(name, image)) << (name != nullptr ? name : "no name");
    rt::image_destroy(image);

    // Header fields: the file, the field's offset and size in bytes, hostile values.
    const std::vector<std::tuple<const std::vector<uint8_t>*, size_t, size_t, std::vector<uint32_t>>> hostile = {
        {&good24, 10, 4, {static_cast<uint32_t>(good24.size()), 55, 0, 0xFFFFFFF0u}},  // pixel data offset
        {&good24, 14, 4, {0, 12, 39, 41, 64, 125, 0xFFFFFFFFu}},                       // OS/2 and nonsense headers
        {&good24, 18, 4, {0, 0x80000000u, 0xFFFFFFFFu, 16385, 1000000}},               // width
        {&good24, 22, 4, {0, 0x80000000u, 16385, static_cast<uint32_t>(-16385), 0x7FFFFFFF}},  // height
        {&good24, 26, 2, {0, 2}},                                                              // planes
        {&good24, 28, 2, {0, 2, 3, 15, 31, 48, 64, 0xFFFF}},                                   // bit count
        {&good24, 30, 4, {1, 2, 3, 4, 5, 6, 11, 0xFFFFFFFFu}},  // run-length, bit fields on 24 bits, JPEG, PNG
        {&good8, 46, 4, {257, 0xFFFFFFFFu, 200}},               // palettes larger than the bits allow, or past the end
        {&good4, 46, 4, {17}},
    };
    for (const auto& [file, at, bytes, values] : hostile) {
        for (uint32_t v : values)
            EXPECT_TRUE(refused(patched(*file, at, v, bytes))) << "offset " << at << " value " << v;
    }
    // A declared size within the limits whose rows the file does not hold.
    EXPECT_TRUE(refused(patched(good24, 18, 16384), 16384, 3));
    // Masks that describe no pixel format the decoder knows: refused, not misread.
    layout_t odd(32, 124, false, true);
    for (uint32_t& m : odd.masks) m = 0xFFFFFFFFu;
    EXPECT_TRUE(refused(write(pattern(5, 3, false), odd), 5, 3, true));
}
