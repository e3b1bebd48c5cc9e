// Pictures of the framebuffer: PNG and BMP contents, and the checks on the file name.
#include <gtest/gtest.h>

#include <png.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/graphics_screen.h"
#include "runtime/bmp_fixtures.h"
#include "runtime/screenshot.h"

namespace {

using bmp_fixture::temp_file_t;

std::vector<uint8_t> file_bytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// 3 x 2 BGRA pixels with distinct colours and assorted alpha.
const std::vector<uint8_t> picture = {1,  2,  3,  0,   4,  5,  6,  128, 7,  8,  9,  255,
                                      10, 11, 12, 255, 13, 14, 15, 1,   16, 17, 18, 77};

}  // namespace

TEST(Screenshot, PngAndBmpHoldTheOpaqueRgbOfTheScreenTopRowFirst) {
    uint8_t* fb = base::screen_open(3, 2, 32, 2, 0);
    ASSERT_NE(fb, nullptr);
    std::copy(picture.begin(), picture.end(), fb);
    temp_file_t png("shot.png"), bmp("shot.BMP");  // the extension in either case
    std::string why;
    ASSERT_TRUE(rt::save_screenshot(png.path(), &why)) << why;
    ASSERT_TRUE(rt::save_screenshot(bmp.path(), &why)) << why;
    // Nothing is left beside the picture.
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(png.path_).parent_path())) {
        EXPECT_EQ(entry.path().string().rfind(png.path_ + ".", 0), std::string::npos) << entry.path();
    }
    base::screen_close(0);
    EXPECT_FALSE(rt::save_screenshot(png.path(), &why));  // no screen

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, png.path()), 0);
    EXPECT_EQ(std::pair(image.width, image.height), std::pair(3u, 2u));
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);  // opaque: no alpha channel at all
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0);
    EXPECT_EQ(rgb, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}));

    // BMP: 24 bits, bottom-up, rows of 9 bytes padded to 12.
    const std::vector<uint8_t> b = file_bytes(bmp.path());
    ASSERT_EQ(b.size(), 54u + 2 * 12);
    const auto field = [&](size_t at, size_t n) {
        uint32_t v = 0;
        for (size_t i = n; i-- > 0;) v = v << 8 | b[at + i];
        return v;
    };
    // Magic, file size, data offset, header size, width, height, bit count, compression.
    EXPECT_EQ(std::vector<uint32_t>({field(0, 2), field(2, 4), field(10, 4), field(14, 4), field(18, 4), field(22, 4),
                                     field(28, 2), field(30, 4)}),
              std::vector<uint32_t>({0x4D42, 78, 54, 40, 3, 2, 24, 0}));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 54, b.end()),
              (std::vector<uint8_t>{10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}));
}

TEST(Screenshot, BadNamesAndPlacesAreRefusedWithAReasonAndLeaveNothingBehind) {
    EXPECT_EQ(rt::picture_format_of("A.PnG"), rt::picture_format::png);
    EXPECT_EQ(rt::picture_format_of("png"), rt::picture_format::none);
    temp_file_t txt("shot.txt"), folder("no-such-dir"), fresh("fresh.png");
    std::string why;
    for (const auto& [path, reason] :
         {std::pair(txt.path_, ".png or .bmp"), std::pair(folder.path_ + "/shot.png", "cannot write")}) {
        SCOPED_TRACE(path);
        why.clear();
        EXPECT_FALSE(rt::picture_path_usable(path, &why));
        EXPECT_NE(why.find(reason), std::string::npos) << why;
        EXPECT_EQ(why.find('\n'), std::string::npos);
        EXPECT_FALSE(rt::write_picture(path, picture.data(), 3, 2, &why));
        EXPECT_FALSE(std::filesystem::exists(path));
    }
    // The probe neither creates a file nor touches an existing one; bad pixels are refused.
    EXPECT_TRUE(rt::picture_path_usable(fresh.path(), &why)) << why;
    EXPECT_FALSE(std::filesystem::exists(fresh.path()));
    std::ofstream(fresh.path()) << "keep";
    EXPECT_TRUE(rt::picture_path_usable(fresh.path(), &why)) << why;
    EXPECT_FALSE(rt::write_picture(fresh.path(), nullptr, 3, 2, &why));
    EXPECT_FALSE(rt::write_picture(fresh.path(), picture.data(), 0, 2, &why));
    EXPECT_EQ(file_bytes(fresh.path()), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
}

// A symbolic link planted where the picture goes, or where a temporary file of a predictable
// name would go, is never followed: the file it points to keeps its bytes.
TEST(Screenshot, PlantedSymbolicLinksAreReplacedOrIgnoredNeverFollowed) {
    temp_file_t victim("victim.txt"), shot("linked.png"), tmp_link("linked.png.tmp");
    std::ofstream(victim.path()) << "precious";
    std::filesystem::create_symlink(victim.path_, tmp_link.path_);
    std::string why;
    ASSERT_TRUE(rt::picture_path_usable(shot.path(), &why)) << why;
    ASSERT_TRUE(rt::write_picture(shot.path(), picture.data(), 3, 2, &why)) << why;
    EXPECT_EQ(file_bytes(victim.path()), (std::vector<uint8_t>{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
    EXPECT_TRUE(std::filesystem::is_symlink(tmp_link.path_));
    // The picture's own name as a link: the link is replaced by the picture.
    std::filesystem::remove(shot.path_);
    std::filesystem::create_symlink(victim.path_, shot.path_);
    ASSERT_TRUE(rt::write_picture(shot.path(), picture.data(), 3, 2, &why)) << why;
    EXPECT_FALSE(std::filesystem::is_symlink(shot.path_));
    EXPECT_EQ(file_bytes(victim.path()), (std::vector<uint8_t>{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
    EXPECT_GT(file_bytes(shot.path()).size(), 8u);
    // A new picture gets a new file's permissions, not a private temporary file's.
    const mode_t mask = umask(022);
    umask(mask);
    EXPECT_EQ(static_cast<mode_t>(std::filesystem::status(shot.path_).permissions()) & 0777, 0666 & ~mask);
    // A dangling link at the name makes the probe create nothing at its target.
    temp_file_t target("nowhere.png"), dangling("dangling.png");
    std::filesystem::create_symlink(target.path_, dangling.path_);
    EXPECT_TRUE(rt::picture_path_usable(dangling.path(), &why)) << why;
    EXPECT_FALSE(std::filesystem::exists(target.path_));
    // A folder under a picture's name is refused.
    temp_file_t folder("folder.png");
    std::filesystem::create_directory(folder.path_);
    EXPECT_FALSE(rt::picture_path_usable(folder.path(), &why));
    EXPECT_NE(why.find("is a directory"), std::string::npos) << why;
}
