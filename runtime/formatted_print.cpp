// Formatted print: field parsing, rounding and fitting of numbers into fields.
#include "runtime/formatted_print.h"

#include <cmath>
#include <cstdio>

#include "runtime/number_text.h"

namespace rt {
namespace {

std::string print_fixed(double magnitude, int decimals) {
    const int n = std::snprintf(nullptr, 0, "%.*f", decimals, magnitude);
    if (n <= 0) return "*";
    std::string text(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", decimals, magnitude);
    text.resize(static_cast<size_t>(n));
    return text;
}

// printf rounds the exact binary value correctly but sends exact ties to the even digit.
// An exact tie is recognised by its expansion ending in a lone 5 one place after the kept
// decimals; 25 further places are enough to tell it from any neighbouring double, which
// differs by more than 10^-(decimals + 25). The next double up then rounds away from zero.
std::string round_half_away(double magnitude, int decimals) {
    const std::string long_form = print_fixed(magnitude, decimals + 26);
    const size_t point = long_form.find('.');
    bool tie = point != std::string::npos && long_form[point + 1 + static_cast<size_t>(decimals)] == '5';
    for (size_t i = point + 2 + static_cast<size_t>(decimals); tie && i < long_form.size(); ++i) {
        if (long_form[i] != '0') tie = false;
    }
    if (tie) magnitude = std::nextafter(magnitude, INFINITY);
    return print_fixed(magnitude, decimals);
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

}  // namespace rt
