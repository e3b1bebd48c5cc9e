// Formatted print: field widths, alignment, rounding, literal text, numbers that do not fit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "runtime/formatted_print.h"

TEST(FormattedPrint, FieldsAreRightAlignedRoundedAndNeverWiderThanTheFormat) {
    const double inf = std::numeric_limits<double>::infinity();
    struct case_t {
        std::string_view format;
        std::vector<rt::print_value> values;
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
        // Rounding of the exact binary value, ties away from zero.
        {"#.##", {0.125}, "0.13"},
        {"#", {2.5}, "3"},
        {"##", {-2.5}, "-3"},
        {"#.#", {0.25}, "0.3"},
        {"#.##", {1.005}, "1.00"},
        {"#.##", {2.675}, "2.67"},
        {"#.##", {0.005}, "0.01"},
        {"#", {std::nextafter(2.5, 0.0)}, "2"},
        {"#", {std::nextafter(2.5, 3.0)}, "3"},
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
    for (const case_t& c : cases) EXPECT_EQ(rt::format_fields(c.format, c.values), c.expected) << c.format;
}
