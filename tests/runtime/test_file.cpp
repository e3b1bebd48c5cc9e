// Tests of binary file reading by file number.
#include "runtime/file.h"

#include "runtime/test_image_bmp_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

using bmp_fixture::temp_file_t;

TEST(File, ReadsLittleEndianWordsAtOneBasedPositions) {
    temp_file_t f("words.bin", {0x01, 0x02, 0x03, 0x04, 0x05, 0xFF, 0xFE, 0x80});
    const int n = rt::free_file_number();
    ASSERT_GE(n, 1);
    ASSERT_TRUE(rt::file_open_binary(n, f.path()));
    uint32_t v = 0;
    ASSERT_TRUE(rt::file_read_u32(n, 1, &v));
    EXPECT_EQ(v, 0x04030201u);
    ASSERT_TRUE(rt::file_read_u32(n, 2, &v));
    EXPECT_EQ(v, 0x05040302u);
    ASSERT_TRUE(rt::file_read_u32(n, 5, &v));  // the last four bytes
    EXPECT_EQ(v, 0x80FEFF05u);
    // Reads may go backwards; the position is absolute.
    ASSERT_TRUE(rt::file_read_u32(n, 3, &v));
    EXPECT_EQ(v, 0x05040302u >> 8 | 0xFFu << 24);

    // Four bytes that are not all there, positions before the start: refused, value kept.
    v = 77;
    EXPECT_FALSE(rt::file_read_u32(n, 6, &v));
    EXPECT_FALSE(rt::file_read_u32(n, 9, &v));
    EXPECT_FALSE(rt::file_read_u32(n, 1000000, &v));
    EXPECT_FALSE(rt::file_read_u32(n, 0, &v));
    EXPECT_FALSE(rt::file_read_u32(n, -5, &v));
    EXPECT_FALSE(rt::file_read_u32(n, INT64_MAX, &v));
    EXPECT_EQ(v, 77u);
    // A failed read does not spoil the next one.
    ASSERT_TRUE(rt::file_read_u32(n, 1, &v));
    EXPECT_EQ(v, 0x04030201u);
    EXPECT_FALSE(rt::file_read_u32(n, 1, nullptr));
    rt::file_close(n);
    EXPECT_FALSE(rt::file_read_u32(n, 1, &v));
}

TEST(File, NumbersAreHandedOutAndReused) {
    temp_file_t f("numbers.bin", {1, 2, 3, 4});
    const int first = rt::free_file_number();
    ASSERT_TRUE(rt::file_open_binary(first, f.path()));
    const int second = rt::free_file_number();
    EXPECT_NE(second, first);
    ASSERT_GE(second, 1);
    // A number in use cannot be opened over.
    EXPECT_FALSE(rt::file_open_binary(first, f.path()));
    ASSERT_TRUE(rt::file_open_binary(second, f.path()));
    rt::file_close(first);
    EXPECT_EQ(rt::free_file_number(), first);
    rt::file_close(second);
    rt::file_close(second);  // closing twice is harmless
    rt::file_close(0);
    rt::file_close(-3);
    rt::file_close(100000);

    // Exhausting every number gives 0, which cannot be opened.
    std::vector<int> taken;
    for (int n = rt::free_file_number(); n != 0 && taken.size() < 10000; n = rt::free_file_number()) {
        if (!rt::file_open_binary(n, f.path())) break;
        taken.push_back(n);
    }
    EXPECT_EQ(rt::free_file_number(), 0);
    EXPECT_FALSE(rt::file_open_binary(0, f.path()));
    for (int n : taken) rt::file_close(n);
    EXPECT_EQ(rt::free_file_number(), first);
}

TEST(File, OpenFailsCleanly) {
    temp_file_t missing("missing.bin");
    const int n = rt::free_file_number();
    EXPECT_FALSE(rt::file_open_binary(n, missing.path()));
    EXPECT_FALSE(rt::file_open_binary(n, nullptr));
    EXPECT_FALSE(rt::file_open_binary(-1, missing.path()));
    EXPECT_EQ(rt::free_file_number(), n);

    // A directory opens on some systems but never yields bytes.
    if (rt::file_open_binary(n, std::filesystem::temp_directory_path().c_str())) {
        uint32_t v = 0;
        EXPECT_FALSE(rt::file_read_u32(n, 1, &v));
        rt::file_close(n);
    }
    // An empty file opens and has nothing to read.
    temp_file_t empty("empty.bin", {});
    ASSERT_TRUE(rt::file_open_binary(n, empty.path()));
    uint32_t v = 0;
    EXPECT_FALSE(rt::file_read_u32(n, 1, &v));
    rt::file_close(n);
}
