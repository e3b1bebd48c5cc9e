// Number-to-text conversions used by the text forms.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "runtime/number_text.h"

TEST(NumberText, SingleToStringIsSevenSignificantDigits) {
    EXPECT_EQ(rt::single_to_string(1.0f), "1");
    EXPECT_EQ(rt::single_to_string(0.5f), "0.5");
    EXPECT_EQ(rt::single_to_string(-2.25f), "-2.25");
    EXPECT_EQ(rt::single_to_string(100.0f), "100");
    EXPECT_EQ(rt::single_to_string(3.14159274f), "3.141593");
    EXPECT_EQ(rt::single_to_string(0.1f), "0.1");
    EXPECT_EQ(rt::single_to_string(1234567.0f), "1234567");
    EXPECT_EQ(rt::single_to_string(12345678.0f), "1.234568e+07");
    EXPECT_EQ(rt::single_to_string(1.0e37f), "1e+37");
    EXPECT_EQ(rt::single_to_string(1.57079637f), "1.570796");
    EXPECT_EQ(rt::single_to_string(0.0f), "0");
    EXPECT_EQ(rt::single_to_string(-0.0f), "-0");
    EXPECT_EQ(rt::single_to_string(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(rt::single_to_string(-std::numeric_limits<float>::infinity()), "-inf");
}

TEST(NumberText, UnsignedToDecimalHasNoSignAndNoLeadingZeros) {
    EXPECT_EQ(rt::unsigned_to_decimal(0), "0");
    EXPECT_EQ(rt::unsigned_to_decimal(7), "7");
    EXPECT_EQ(rt::unsigned_to_decimal(10), "10");
    EXPECT_EQ(rt::unsigned_to_decimal(4294967295u), "4294967295");
    EXPECT_EQ(rt::unsigned_to_decimal(std::numeric_limits<uint64_t>::max()), "18446744073709551615");
}
