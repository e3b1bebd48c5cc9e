// Formatted print: field widths, alignment, rounding, literal text, numbers that do not fit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "base/formatted_print.h"

TEST(FormattedPrint, FieldsAreRightAlignedRoundedAndNeverWiderThanTheFormat) {
    const double inf = std::numeric_limits<double>::infinity();
    struct case_t {
        std::string_view format;
        std::vector<base::print_value> values;
        std::string_view expected;
    };
    const std::vector<case_t> cases = {
        // Widths and right alignment; an integer shows the field's decimals as zeros.
        {"[#]", {7u}, "[7]"},
        {"[####]", {5u}, "[   5]"},
        {"[########]", {12345678u}, "[12345678]"},
        {"[###.##]", {3.14159}, "[  3.14]"},
        {"[##.#]", {uint64_t{7}}, "[ 7.0]"},
        {"[###]", {12.0}, "[ 12]"},
        // Rounding of the exact binary value, ties away from zero (the next test has the ties and
        // their neighbours at every magnitude).
        {"#.##", {0.125}, "0.13"},
        {"#.##", {1.005}, "1.00"},
        {"#.##", {0.005}, "0.01"},
        // A negative number that rounds to zero loses its sign.
        {"#.##", {-0.001}, "0.00"},
        {"###.##", {-1.5}, " -1.50"},
        // Literal text; a "." belongs to a field only between two "#", one per field.
        {"a#b##c", {1u, 2u}, "a1b 2c"},
        {"##.", {5u}, " 5."},
        {".##", {5u}, ". 5"},
        {"#.#.#", {1.25, 7u}, "1.3.7"},
        {"100% / ok", {1u}, "100% / ok"},
        // Too wide: decimals go one at a time, then the field fills with "*".
        {"[###.##]", {1234.567}, "[1234.6]"},
        {"[###.##]", {123456.7}, "[123457]"},
        {"[###.##]", {1234567.0}, "[******]"},
        {"[###.##]", {999.996}, "[1000.0]"},
        {"[###.##]", {-9999.9}, "[-10000]"},
        {"[###]", {1.0e300}, "[***]"},
        {"[#.##]", {12u}, "[12.0]"},
        {"[########]", {99999999u}, "[99999999]"},
        {"[########]", {100000000u}, "[********]"},
        {"[####]", {std::numeric_limits<uint64_t>::max()}, "[****]"},
        // Not finite: a word, or stars when the field is narrower.
        {"[###.##]", {inf}, "[   inf]"},
        {"[###.##]", {-inf}, "[  -inf]"},
        {"[###.##]", {std::numeric_limits<double>::quiet_NaN()}, "[   nan]"},
        {"[##]", {inf}, "[**]"},
        // Values fill the fields in order; the text stops at the first field without one.
        {"# and # and #", {1u, 2u}, "1 and 2 and "},
        {"# then", {}, ""},
        {"#", {1u, 2u}, "1"},
        {"##|##.#|##", {1.0f, 2.25f, uint8_t{3}}, " 1| 2.3| 3"},
    };
    for (const case_t& c : cases) {
        EXPECT_EQ(base::format_fields(c.format, c.values), c.expected) << "format \"" << c.format << "\"";
    }
}

TEST(FormattedPrint, ExactTiesRoundAwayFromZeroAtEveryMagnitude) {
    // The value, the decimals shown, the text. Near 2^48 and above a tie's last place is the
    // double's last bit, so the next double up lies a whole unit of the last place away.
    const double e15 = 1.0e15, p48 = std::ldexp(1.0, 48), p50 = std::ldexp(1.0, 50), p51 = std::ldexp(1.0, 51);
    const std::vector<std::tuple<double, int, std::string>> rows = {
        {e15 + 0.125, 2, "1000000000000000.13"},
        {p48 + 0.0625, 3, "281474976710656.063"},
        {p50 + 0.25, 1, "1125899906842624.3"},
        {p50 + 0.75, 1, "1125899906842624.8"},
        {p51 + 0.5, 0, "2251799813685249"},
        {std::ldexp(1.0, 60) + std::ldexp(1.0, 8), 0, "1152921504606847232"},  // an integer: no tie
        {0.96875, 4, "0.9688"},
        {9.5, 0, "10"},
        {99.5, 0, "100"},
        {0.5, 0, "1"},
        {std::ldexp(1.0, -20), 19, "0.0000009536743164063"},
        // Next to the ties: the doubles either side round to the nearest.
        {std::nextafter(e15 + 0.125, 0.0), 2, "1000000000000000.00"},
        {std::nextafter(e15 + 0.125, 2.0e15), 2, "1000000000000000.25"},
        {std::nextafter(p50 + 0.25, 0.0), 1, "1125899906842624.0"},
        {std::nextafter(p48 + 0.0625, 0.0), 3, "281474976710656.000"},
        {std::nextafter(0.96875, 0.0), 4, "0.9687"},
        {std::nextafter(9.5, 0.0), 0, "9"},
        // Not ties: a tie one place further on, or an expansion that goes on past it.
        {e15 + 0.125, 3, "1000000000000000.125"},
        {0.1, 1, "0.1"},
        {0.35, 1, "0.3"},  // the double is 0.34999...
        {0.45, 1, "0.5"},  // the double is 0.45000...01
    };
    for (const auto& [value, decimals, text] : rows) {
        for (const double sign : {1.0, -1.0}) {
            SCOPED_TRACE(testing::Message() << std::hexfloat << sign * value << " with " << decimals << " decimals");
            std::string format(24, '#');
            if (decimals > 0) format.append(1, '.').append(static_cast<size_t>(decimals), '#');
            const std::string want = std::string(sign < 0 ? "-" : "").append(text);
            const std::string got = base::format_fields(format, std::vector<base::print_value>{sign * value});
            EXPECT_EQ(got, std::string(format.size() - want.size(), ' ') + want);
        }
    }
}
