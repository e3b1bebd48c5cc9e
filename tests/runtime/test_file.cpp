// Tests of binary file reading by file number.
#include "runtime/file.h"

#include "runtime/bmp_fixtures.h"

#include <gtest/gtest.h>

using bmp_fixture::temp_file_t;

TEST(File, ReadsLittleEndianWordsAtOneBasedPositionsOnNumbersThatAreHandedOutAndReused) {
    temp_file_t f("words.bin", {0x01, 0x02, 0x03, 0x04, 0x05, 0xFF, 0xFE, 0x80}), missing("missing.bin"),
        empty("empty.bin", {});
    const int n = rt::free_file_number();
    ASSERT_TRUE(rt::file_open_binary(n, f.path()));
    uint32_t v = 0;
    // Positions are absolute, so reads may go backwards; 5 is the last full word.
    for (auto [position, word] : {std::pair<int64_t, uint32_t>{1, 0x04030201u}, {5, 0x80FEFF05u}, {2, 0x05040302u}}) {
        SCOPED_TRACE(testing::Message() << "position " << position);
        ASSERT_TRUE(rt::file_read_u32(n, position, &v));
        EXPECT_EQ(v, word);
    }
    for (int64_t position : {int64_t{6}, int64_t{9}, int64_t{0}, int64_t{-5}, INT64_MAX})
        EXPECT_FALSE(rt::file_read_u32(n, position, &v)) << "position " << position;
    EXPECT_EQ(v, 0x05040302u);  // a refused read keeps the value
    EXPECT_FALSE(rt::file_read_u32(n, 1, nullptr));
    rt::file_close(n);
    EXPECT_FALSE(rt::file_read_u32(n, 1, &v));
    // Missing, unnamed, a bad number; an empty file opens with nothing to read.
    EXPECT_FALSE(rt::file_open_binary(n, missing.path()));
    EXPECT_FALSE(rt::file_open_binary(n, nullptr));
    EXPECT_FALSE(rt::file_open_binary(-1, f.path()));
    ASSERT_TRUE(rt::file_open_binary(n, empty.path()));
    EXPECT_FALSE(rt::file_read_u32(n, 1, &v));
    rt::file_close(n);

    // Numbers are handed out, refused while in use, reused, and run out.
    const int first = rt::free_file_number();
    ASSERT_TRUE(rt::file_open_binary(first, f.path()));
    EXPECT_FALSE(rt::file_open_binary(first, f.path()));  // in use
    const int second = rt::free_file_number();
    EXPECT_NE(second, first);
    ASSERT_TRUE(rt::file_open_binary(second, f.path()));
    rt::file_close(first);
    EXPECT_EQ(rt::free_file_number(), first);
    for (int n : {second, second, 0, -3, 100000}) rt::file_close(n);  // twice or unused: harmless
    std::vector<int> taken;
    for (int n = rt::free_file_number(); n != 0 && taken.size() < 10000 && rt::file_open_binary(n, f.path());
         n = rt::free_file_number())
        taken.push_back(n);
    EXPECT_EQ(rt::free_file_number(), 0);
    EXPECT_FALSE(rt::file_open_binary(0, f.path()));
    for (int n : taken) rt::file_close(n);
    EXPECT_EQ(rt::free_file_number(), first);
}
