// Regular files only: FIFOs, devices and folders refused without being waited on, reads within the limit, the confining
// folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/bmp_fixtures.h"
#include "runtime/file.h"
#include "runtime/image.h"
#include "runtime/picture.h"
#include "runtime/regular_file.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder under the temporary directory with a FIFO, a file, a folder and links in it.
struct folder_t {
    fs::path root = fs::temp_directory_path() / ("softcube-regular-" + std::to_string(getpid()));
    folder_t() {
        fs::remove_all(root);
        fs::create_directories(root / "inside");
        std::ofstream(root / "inside" / "ten.bin", std::ios::binary) << "0123456789";
        std::ofstream(root / "secret.txt") << "not for models";
        EXPECT_EQ(mkfifo((root / "inside" / "fifo").c_str(), 0600), 0);
        fs::create_symlink(root / "secret.txt", root / "inside" / "link-out");
        fs::create_symlink(root / "inside" / "ten.bin", root / "inside" / "link-in");
    }
    ~folder_t() { fs::remove_all(root); }
    std::string operator/(const std::string& name) const { return (root / name).string(); }
};

}  // namespace

TEST(RegularFile, OnlyRegularFilesAreReadAndNothingWaitsOnAFifoOrDevice) {
    folder_t f;
    struct case_t {
        std::string path;
        uint64_t limit;
        rt::file_problem_t problem;
        std::string why;
    };
    const case_t cases[] = {
        {f / "inside/ten.bin", 10, rt::file_problem_t::none, ""},
        {f / "inside/link-in", 10, rt::file_problem_t::none, ""},
        {f / "inside/ten.bin", 9, rt::file_problem_t::too_large, "too large: at most 9 bytes are accepted"},
        {f / "inside/missing", 10, rt::file_problem_t::missing, "no such file"},
        {f / "inside/ten.bin/below", 10, rt::file_problem_t::missing, "no such file"},
        {f / "inside", 10, rt::file_problem_t::directory, "is a directory"},
        // Opening a FIFO for reading waits for a writer; it must be refused at once instead.
        {f / "inside/fifo", 10, rt::file_problem_t::not_regular, "not a regular file"},
        {"/dev/zero", 10, rt::file_problem_t::not_regular, "not a regular file"},
        {"/dev/null", 10, rt::file_problem_t::not_regular, "not a regular file"},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.path);
        rt::regular_file_t file(c.path, c.limit);
        EXPECT_EQ(file.problem(), c.problem);
        EXPECT_EQ(file.why(), c.why);
        std::vector<uint8_t> bytes{1, 2, 3};
        EXPECT_EQ(file.read_all(&bytes), c.problem == rt::file_problem_t::none);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.problem == rt::file_problem_t::none ? "0123456789" : "");
    }
    // The size of a too-large file is known to the caller but never part of the reason.
    EXPECT_EQ(rt::regular_file_t(f / "inside/ten.bin", 3).size(), 10u);
    // Files of /proc say they are empty and still hold bytes: read to their end, within the limit.
    std::vector<uint8_t> status;
    std::string why;
    EXPECT_TRUE(rt::read_regular_file("/proc/self/status", 1 << 20, &status, &why)) << why;
    EXPECT_NE(std::string(status.begin(), status.end()).find("Pid:"), std::string::npos);
    EXPECT_FALSE(rt::read_regular_file("/proc/self/status", 8, &status, &why));
    EXPECT_EQ(why, "too large: at most 8 bytes are accepted");
    EXPECT_TRUE(status.empty());
}

TEST(RegularFile, AConfiningFolderHoldsEveryPathOnceLinksAreFollowed) {
    folder_t f;
    const std::string inside = f / "inside";
    const std::string outside_why = "lies outside the folder " + inside;
    std::vector<uint8_t> bytes;
    std::string why;
    EXPECT_TRUE(rt::read_regular_file(f / "inside/ten.bin", 100, &bytes, &why, inside)) << why;
    EXPECT_TRUE(rt::read_regular_file(f / "inside/link-in", 100, &bytes, &why, inside + "/")) << why;
    // Up and out, by name or by a link planted inside; the same files are fine unconfined.
    for (const std::string& path : {f / "inside/../secret.txt", f / "inside/link-out", f / "secret.txt"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(rt::read_regular_file(path, 100, &bytes, &why, inside));
        EXPECT_EQ(why, outside_why);
        EXPECT_TRUE(rt::read_regular_file(path, 100, &bytes, &why)) << why;
    }
    // The folder itself, given relative to the working folder.
    const fs::path previous = fs::current_path();
    fs::current_path(inside);
    EXPECT_TRUE(rt::read_regular_file("ten.bin", 100, &bytes, &why, ".")) << why;
    EXPECT_FALSE(rt::read_regular_file("link-out", 100, &bytes, &why, "."));
    EXPECT_EQ(why, "lies outside the folder .");
    fs::current_path(previous);
}

TEST(RegularFile, PicturesBmpsAndNumberedFilesRefuseAFifoAtOnce) {
    folder_t f;
    std::string why;
    EXPECT_EQ(rt::picture_load((f / "inside/fifo").c_str(), &why), nullptr);
    EXPECT_EQ(why, "not a regular file");
    EXPECT_EQ(rt::picture_load("/dev/zero", &why), nullptr);
    EXPECT_EQ(why, "not a regular file");
    EXPECT_FALSE(rt::bmp_probe((f / "inside/fifo").c_str(), nullptr, nullptr));
    const int number = rt::free_file_number();
    EXPECT_FALSE(rt::file_open_binary(number, (f / "inside/fifo").c_str()));
    EXPECT_TRUE(rt::file_open_binary(number, (f / "inside/ten.bin").c_str()));
    uint32_t value = 0;
    EXPECT_TRUE(rt::file_read_u32(number, 1, &value));
    EXPECT_EQ(value, 0x33323130u);
    rt::file_close(number);
}

TEST(RegularFile, BmpBytesDecodeAsTheFileDoes) {
    // The 24-bit 2 x 2 BMP of the fixtures, loaded from a file and decoded from its bytes.
    const std::vector<uint8_t> bytes = bmp_fixture::write(bmp_fixture::pattern(2, 2, false), bmp_fixture::layout_t{});
    bmp_fixture::temp_file_t file("decoded.bmp", bytes);
    rt::image_t* from_file = rt::image_create(2, 2, 0, 32);
    ASSERT_TRUE(rt::bmp_load(file.path(), from_file));
    rt::image_t* from_bytes = rt::bmp_decode(bytes.data(), bytes.size());
    ASSERT_NE(from_bytes, nullptr);
    const rt::image_info_t a = rt::image_query(from_file), b = rt::image_query(from_bytes);
    EXPECT_EQ(std::vector<uint8_t>(a.pixels, a.pixels + a.size), std::vector<uint8_t>(b.pixels, b.pixels + b.size));
    int32_t width = 0, height = 0;
    EXPECT_TRUE(rt::bmp_size(bytes.data(), bytes.size(), &width, &height));
    EXPECT_EQ(std::pair(width, height), std::pair(2, 2));
    // Cut short: refused by both.
    EXPECT_EQ(rt::bmp_decode(bytes.data(), bytes.size() - 1), nullptr);
    EXPECT_FALSE(rt::bmp_size(bytes.data(), 20, &width, &height));
    // And as a picture: BMP is known by its signature.
    std::string why;
    rt::image_t* picture = rt::picture_decode(bytes.data(), bytes.size(), &why);
    ASSERT_NE(picture, nullptr) << why;
    const rt::image_info_t c = rt::image_query(picture);
    EXPECT_EQ(std::vector<uint8_t>(a.pixels, a.pixels + a.size), std::vector<uint8_t>(c.pixels, c.pixels + c.size));
    rt::image_destroy(from_file);
    rt::image_destroy(from_bytes);
    rt::image_destroy(picture);
}
