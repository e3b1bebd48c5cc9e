// fill_words: every word written with the pattern's bytes in order, nothing outside the run touched.
#include <gtest/gtest.h>

#include <vector>

#include "base/fill_words.h"

TEST(FillWords, EveryLengthAndOffsetWritesExactlyTheRun) {
    // Lengths either side of the switch to the string store (64 words), offsets that are not
    // word-aligned, and a pattern whose four bytes all differ so that a rotated or
    // byte-swapped word would show.
    const uint8_t pattern[4] = {0x10, 0x20, 0x30, 0xF0};
    for (size_t count : {size_t{0}, size_t{1}, size_t{3}, size_t{63}, size_t{64}, size_t{65}, size_t{1001}}) {
        for (size_t offset : {size_t{0}, size_t{1}, size_t{4}, size_t{6}}) {
            SCOPED_TRACE(testing::Message() << count << " words at offset " << offset);
            std::vector<uint8_t> buffer(count * 4 + 16, 0xAB);
            base::fill_words(buffer.data() + offset, count, pattern);
            for (size_t i = 0; i < buffer.size(); ++i) {
                const bool inside = i >= offset && i < offset + count * 4;
                const uint8_t expected = inside ? pattern[(i - offset) % 4] : 0xAB;
                ASSERT_EQ(buffer[i], expected) << "byte " << i;
            }
        }
    }
}
