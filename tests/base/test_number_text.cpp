// Number-to-text conversions used by the text forms.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "base/number_text.h"

TEST(NumberText, SingleToStringIsSevenSignificantDigitsAndUnsignedIsPlainDecimal) {
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<float, const char*> singles[] = {{1.0f, "1"},
                                                     {0.5f, "0.5"},
                                                     {-2.25f, "-2.25"},
                                                     {100.0f, "100"},
                                                     {3.14159274f, "3.141593"},
                                                     {0.1f, "0.1"},
                                                     {1234567.0f, "1234567"},
                                                     {12345678.0f, "1.234568e+07"},
                                                     {1.0e37f, "1e+37"},
                                                     {0.0f, "0"},
                                                     {-0.0f, "-0"},
                                                     {inf, "inf"},
                                                     {-inf, "-inf"}};
    for (const auto& [value, text] : singles) EXPECT_EQ(base::single_to_string(value), text) << text;
    const std::pair<uint64_t, const char*> unsigneds[] = {
        {0, "0"}, {7, "7"}, {10, "10"}, {4294967295u, "4294967295"}, {UINT64_MAX, "18446744073709551615"}};
    for (const auto& [value, text] : unsigneds) EXPECT_EQ(base::unsigned_to_decimal(value), text) << text;
}
