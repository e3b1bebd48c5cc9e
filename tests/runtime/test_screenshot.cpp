// Pictures of the framebuffer: PNG and BMP contents, and the checks on the file name.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/screen.h"
#include "runtime/screenshot.h"

namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::path(SOFTCUBE_BINARY_DIR) / "test_scratch" / "screenshot";
    fs::create_directories(dir);
    const fs::path p = dir / name;
    fs::remove(p);
    return p;
}

std::vector<uint8_t> file_bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t u32_at(const std::vector<uint8_t>& b, size_t offset) {
    return b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 | static_cast<uint32_t>(b[offset + 3]) << 24;
}

// 3 x 2 BGRA pixels with distinct colours and assorted alpha.
const std::vector<uint8_t> picture = {
    1,  2,  3,  0,   4,  5,  6,  128, 7,  8,  9,  255,  //
    10, 11, 12, 255, 13, 14, 15, 1,   16, 17, 18, 77,   //
};

}  // namespace

TEST(Screenshot, PngHoldsTheOpaqueRgbOfEveryPixelTopRowFirst) {
    const fs::path p = scratch("shot.png");
    std::string why;
    ASSERT_TRUE(rt::write_picture(p.string(), picture.data(), 3, 2, &why)) << why;
    EXPECT_FALSE(fs::exists(p.string() + ".tmp"));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, p.c_str()), 0);
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);  // opaque: no alpha channel at all
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0);
    EXPECT_EQ(rgb, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}));
}

TEST(Screenshot, BmpIsTwentyFourBitBottomUpWithPaddedRows) {
    const fs::path p = scratch("shot.BMP");  // the extension in either case
    std::string why;
    ASSERT_TRUE(rt::write_picture(p.string(), picture.data(), 3, 2, &why)) << why;
    const std::vector<uint8_t> b = file_bytes(p);
    ASSERT_EQ(b.size(), 54u + 2 * 12);  // rows of 9 bytes padded to 12
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32_at(b, 2), b.size());
    EXPECT_EQ(u32_at(b, 10), 54u);
    EXPECT_EQ(u32_at(b, 14), 40u);
    EXPECT_EQ(u32_at(b, 18), 3u);
    EXPECT_EQ(u32_at(b, 22), 2u);
    EXPECT_EQ(b[28], 24);
    EXPECT_EQ(u32_at(b, 30), 0u);
    // First stored row is the picture's bottom row, in blue, green, red order.
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 54, b.end()),
              (std::vector<uint8_t>{10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0,  //
                                    1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}));
}

TEST(Screenshot, BadNamesAndPlacesAreRefusedWithAReasonAndLeaveNothingBehind) {
    std::string why;
    EXPECT_EQ(rt::picture_format_of("a.png"), rt::picture_format::png);
    EXPECT_EQ(rt::picture_format_of("A.PnG"), rt::picture_format::png);
    EXPECT_EQ(rt::picture_format_of("a.bmp"), rt::picture_format::bmp);
    EXPECT_EQ(rt::picture_format_of("png"), rt::picture_format::none);
    EXPECT_EQ(rt::picture_format_of("a.jpg"), rt::picture_format::none);

    const fs::path txt = scratch("shot.txt");
    EXPECT_FALSE(rt::picture_path_usable(txt.string(), &why));
    EXPECT_NE(why.find(".png or .bmp"), std::string::npos);
    EXPECT_FALSE(rt::write_picture(txt.string(), picture.data(), 3, 2, &why));
    EXPECT_FALSE(fs::exists(txt));

    const fs::path missing_dir = scratch("no-such-dir") / "shot.png";
    why.clear();
    EXPECT_FALSE(rt::picture_path_usable(missing_dir.string(), &why));
    EXPECT_NE(why.find("cannot write"), std::string::npos);
    EXPECT_EQ(why.find('\n'), std::string::npos);
    EXPECT_FALSE(rt::write_picture(missing_dir.string(), picture.data(), 3, 2, &why));

    // The probe neither creates a file nor touches an existing one.
    const fs::path fresh = scratch("fresh.png");
    EXPECT_TRUE(rt::picture_path_usable(fresh.string(), &why)) << why;
    EXPECT_FALSE(fs::exists(fresh));
    { std::ofstream(fresh) << "keep"; }
    EXPECT_TRUE(rt::picture_path_usable(fresh.string(), &why)) << why;
    EXPECT_EQ(file_bytes(fresh), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));

    EXPECT_FALSE(rt::write_picture(scratch("empty.png").string(), nullptr, 3, 2, &why));
    EXPECT_FALSE(rt::write_picture(scratch("empty.png").string(), picture.data(), 0, 2, &why));
}

TEST(Screenshot, SavesTheRuntimeScreen) {
    uint8_t* fb = rt::screen_open(3, 2, 32, 2, 0);
    ASSERT_NE(fb, nullptr);
    std::copy(picture.begin(), picture.end(), fb);
    const fs::path p = scratch("screen.bmp");
    std::string why;
    ASSERT_TRUE(rt::save_screenshot(p.string(), &why)) << why;
    EXPECT_EQ(file_bytes(p).size(), 54u + 2 * 12);
    rt::screen_close(0);
    EXPECT_FALSE(rt::save_screenshot(p.string(), &why));
}
