// Formatted print: field parsing, alignment, rounding, fitting and the end of the values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "runtime/formatted_print.h"

namespace {

std::string fmt(std::string_view format, std::vector<rt::print_value> values) {
    return rt::format_fields(format, values);
}

}  // namespace

TEST(FormattedPrint, FieldsAreRightAlignedAtTheirWidth) {
    EXPECT_EQ(fmt("[#]", {7u}), "[7]");
    EXPECT_EQ(fmt("[####]", {5u}), "[   5]");
    EXPECT_EQ(fmt("[########]", {uint32_t{12345678}}), "[12345678]");
    EXPECT_EQ(fmt("[###.##]", {3.14159}), "[  3.14]");
    EXPECT_EQ(fmt("[###.##]", {2.0}), "[  2.00]");
    EXPECT_EQ(fmt("[##.#]", {uint64_t{7}}), "[ 7.0]");  // an integer shows the field's decimals as zeros
    EXPECT_EQ(fmt("[###]", {12.0}), "[ 12]");
    EXPECT_EQ(fmt("[#]", {uint64_t{0}}), "[0]");
}

TEST(FormattedPrint, RoundingTakesTheExactValueAndSendsTiesAwayFromZero) {
    // Exact binary ties.
    EXPECT_EQ(fmt("#.##", {0.125}), "0.13");
    EXPECT_EQ(fmt("#.##", {0.375}), "0.38");
    EXPECT_EQ(fmt("#", {2.5}), "3");
    EXPECT_EQ(fmt("#", {3.5}), "4");
    EXPECT_EQ(fmt("##", {-2.5}), "-3");
    EXPECT_EQ(fmt("#.#", {0.25}), "0.3");
    // Decimal literals that are not ties in binary round by their real value.
    EXPECT_EQ(fmt("#.##", {1.005}), "1.00");   // 1.00499999999999989...
    EXPECT_EQ(fmt("#.##", {0.615}), "0.61");   // 0.61499999999999999...
    EXPECT_EQ(fmt("#.##", {0.005}), "0.01");   // 0.00500000000000000010...
    EXPECT_EQ(fmt("#.##", {2.675}), "2.67");   // 2.67499999999999982...
    // The neighbours of a tie are not ties.
    EXPECT_EQ(fmt("#", {std::nextafter(2.5, 0.0)}), "2");
    EXPECT_EQ(fmt("#", {std::nextafter(2.5, 3.0)}), "3");
    // Negative numbers that round to zero lose their sign.
    EXPECT_EQ(fmt("#.##", {-0.001}), "0.00");
    EXPECT_EQ(fmt("#.##", {-0.0}), "0.00");
    EXPECT_EQ(fmt("###.##", {-1.5}), " -1.50");
    EXPECT_EQ(fmt("#.##", {std::numeric_limits<double>::denorm_min()}), "0.00");
}

TEST(FormattedPrint, LiteralTextStandsAsItIs) {
    EXPECT_EQ(fmt("a#b##c", {1u, 2u}), "a1b 2c");
    EXPECT_EQ(fmt("x ## Frames / ", {42u}), "x 42 Frames / ");
    // A "." belongs to a field only between two "#"; one dot per field.
    EXPECT_EQ(fmt("##.", {5u}), " 5.");
    EXPECT_EQ(fmt(".##", {5u}), ". 5");
    EXPECT_EQ(fmt("#.#.#", {1.25, 7u}), "1.3.7");
    EXPECT_EQ(fmt("100% / ok", {1u}), "100% / ok");
    EXPECT_EQ(fmt("", {1u}), "");
}

TEST(FormattedPrint, NumbersTooWideGiveUpDecimalsThenFillTheFieldWithStars) {
    EXPECT_EQ(fmt("[###.##]", {1234.567}), "[1234.6]");
    EXPECT_EQ(fmt("[###.##]", {123456.7}), "[123457]");
    EXPECT_EQ(fmt("[###.##]", {1234567.0}), "[******]");
    EXPECT_EQ(fmt("[###.##]", {999.996}), "[1000.0]");  // rounding up adds a digit
    EXPECT_EQ(fmt("[###.##]", {-9999.9}), "[-10000]");
    EXPECT_EQ(fmt("[####.######]", {123456789.125}), "[123456789.1]");
    EXPECT_EQ(fmt("[###]", {1.0e300}), "[***]");
    EXPECT_EQ(fmt("[########]", {uint64_t{99999999}}), "[99999999]");
    EXPECT_EQ(fmt("[########]", {uint64_t{100000000}}), "[********]");
    EXPECT_EQ(fmt("[####]", {std::numeric_limits<uint64_t>::max()}), "[****]");
    EXPECT_EQ(fmt("[#.##]", {uint64_t{12}}), "[12.0]");
}

TEST(FormattedPrint, NonFiniteValuesAreWordsOrStars) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(fmt("[###.##]", {inf}), "[   inf]");
    EXPECT_EQ(fmt("[###.##]", {-inf}), "[  -inf]");
    EXPECT_EQ(fmt("[###.##]", {std::numeric_limits<double>::quiet_NaN()}), "[   nan]");
    EXPECT_EQ(fmt("[###]", {-inf}), "[***]");
    EXPECT_EQ(fmt("[##]", {inf}), "[**]");
}

TEST(FormattedPrint, ValuesFillFieldsInOrderAndTheTextStopsWhereTheyRunOut) {
    EXPECT_EQ(fmt("# and # and #", {1u, 2u}), "1 and 2 and ");
    EXPECT_EQ(fmt("# then", {}), "");
    EXPECT_EQ(fmt("#", {1u, 2u, 3u}), "1");
    EXPECT_EQ(fmt("plain text", {1u}), "plain text");
    EXPECT_EQ(fmt("##|##.#|##", {1.0f, 2.25f, uint8_t{3}}), " 1| 2.3| 3");
}
