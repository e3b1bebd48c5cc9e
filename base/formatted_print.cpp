// Formatted print: field parsing, rounding and fitting of numbers into fields.
#include "base/formatted_print.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "base/number_text.h"

namespace base {
namespace {

std::string print_fixed(double magnitude, int decimals) {
    const int n = std::snprintf(nullptr, 0, "%.*f", decimals, magnitude);
    if (n <= 0) return "*";
    std::string text(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", decimals, magnitude);
    text.resize(static_cast<size_t>(n));
    return text;
}

// Whether the exact decimal expansion of the finite, non-negative magnitude ends in a 5 one
// place after `decimals` places. A double is m * 2^e with m odd; for e < 0 that is
// m * 5^-e / 10^-e, whose expansion has exactly -e places and, m * 5^-e being an odd multiple
// of 5, ends in a 5. So the value is a tie exactly when -e is decimals + 1.
bool is_exact_tie(double magnitude, int decimals) {
    if (magnitude == 0.0) return false;
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
    const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 64));
    const int lowest_bit = exponent - 64 + std::countr_zero(mantissa);
    return lowest_bit == -(decimals + 1);
}

// printf rounds the exact binary value correctly but sends exact ties to the even digit. A tie
// is printed with its one extra place, which is exact, and rounded away from zero on the digits.
std::string round_half_away(double magnitude, int decimals) {
    if (!is_exact_tie(magnitude, decimals)) return print_fixed(magnitude, decimals);
    std::string text = print_fixed(magnitude, decimals + 1);
    text.pop_back();  // the 5
    size_t i = text.size();
    while (i-- > 0) {
        if (text[i] == '.') continue;
        if (text[i] != '9') {
            ++text[i];
            break;
        }
        text[i] = '0';
        if (i == 0) text.insert(text.begin(), '1');
    }
    if (text.back() == '.') text.pop_back();
    return text;
}

bool all_zero_digits(const std::string& text) {
    for (char c : text) {
        if (c >= '1' && c <= '9') return false;
    }
    return true;
}

// The number with the given decimals, before alignment.
std::string number_text(const print_value& value, int decimals) {
    if (value.type == print_value::kind::unsigned_integer) {
        std::string text = unsigned_to_decimal(value.integer);
        if (decimals > 0) {
            text.push_back('.');
            text.append(static_cast<size_t>(decimals), '0');
        }
        return text;
    }
    std::string text = round_half_away(std::fabs(value.real), decimals);
    if (!std::signbit(value.real) || all_zero_digits(text)) return text;
    std::string negative(1, '-');
    negative.append(text);
    return negative;
}

void append_field(std::string& out, const print_value& value, size_t width, int decimals) {
    if (value.type == print_value::kind::real && !std::isfinite(value.real)) {
        const char* word = std::isnan(value.real) ? "nan" : (value.real < 0 ? "-inf" : "inf");
        const std::string_view w(word);
        if (w.size() <= width) {
            out.append(width - w.size(), ' ').append(w);
        } else {
            out.append(width, '*');
        }
        return;
    }
    for (int d = decimals; d >= 0; --d) {
        const std::string text = number_text(value, d);
        if (text.size() <= width) {
            out.append(width - text.size(), ' ').append(text);
            return;
        }
    }
    out.append(width, '*');
}

}  // namespace

std::string format_fields(std::string_view format, std::span<const print_value> values) {
    std::string out;
    out.reserve(format.size());
    size_t next_value = 0;
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '#') {
            out.push_back(format[i++]);
            continue;
        }
        size_t end = i;
        while (end < format.size() && format[end] == '#') ++end;
        int decimals = 0;
        if (end + 1 < format.size() && format[end] == '.' && format[end + 1] == '#') {
            size_t after = end + 1;
            while (after < format.size() && format[after] == '#') ++after;
            decimals = static_cast<int>(after - end - 1);
            end = after;
        }
        if (next_value == values.size()) break;
        append_field(out, values[next_value++], end - i, decimals);
        i = end;
    }
    return out;
}

}  // namespace base
