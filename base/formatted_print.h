// The text of a formatted print: numeric fields made of "#" (with at most one "." inside) filled from values.
#pragma once

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace base {

// One value of a formatted print: an unsigned integer (carried as 64 bits) or a double.
struct print_value {
    enum class kind : uint8_t { unsigned_integer, real };

    template <std::unsigned_integral T>
    print_value(T v) : type(kind::unsigned_integer), integer(v) {}
    template <std::floating_point T>
    print_value(T v) : type(kind::real), real(static_cast<double>(v)) {}

    kind type;
    uint64_t integer = 0;
    double real = 0.0;
};

// Builds the printed text (without the final line break). A field is a run of "#" that may
// hold one "." between two "#"; it is as wide as the run and shows as many decimals as there
// are "#" after the ".". Numbers are right-aligned and rounded to the nearest, a tie going
// away from zero; a negative number whose rounded digits are all zero loses its sign.
// Every other character stands as it is.
//
// A number too wide for its field gives up decimals, one at a time, until it fits; if even
// its whole part does not fit, the field is filled with "*". Infinities and NaN show as
// "inf", "-inf" and "nan", or "*" when the field is narrower. So the text always has the
// format's own length and the columns after a field never move.
//
// Values fill the fields in order. Extra values are ignored; when the values run out, the
// text stops at the next field that has none.
std::string format_fields(std::string_view format, std::span<const print_value> values);

}  // namespace base
