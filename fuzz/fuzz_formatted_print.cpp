// libFuzzer target: the formatted print on arbitrary format strings and values, as text and as glyphs in a small
// framebuffer.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/graphics_screen.h"
#include "base/text.h"

namespace {

// Fields of the format the way a reader of the format sees them: a run of "#", and when a
// "." and another "#" follow, that "." and run too. Counted here independently of the
// formatter so the two can be checked against each other.
size_t count_fields(const std::string& format) {
    size_t fields = 0;
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '#') {
            ++i;
            continue;
        }
        while (i < format.size() && format[i] == '#') ++i;
        if (i + 1 < format.size() && format[i] == '.' && format[i + 1] == '#') {
            ++i;
            while (i < format.size() && format[i] == '#') ++i;
        }
        ++fields;
    }
    return fields;
}

// Characters a field may show: digits, sign, point, the overflow mark and the words of the
// non-finite numbers, right-aligned with spaces.
bool field_character(char c) {
    return (c >= '0' && c <= '9') || c == ' ' || c == '-' || c == '.' || c == '*' || c == 'i' || c == 'n' || c == 'f' ||
           c == 'a';
}

}  // namespace

// Input layout (FuzzedDataProvider): from the end, the screen size (1 .. 40 each way), the
// text cursor (any int row and column), the number of values (0 .. 8) and the values, each
// an unsigned integer or a double from raw bits; the remaining bytes are the format.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const auto width = in.ConsumeIntegralInRange<uint32_t>(1, 40);
    const auto height = in.ConsumeIntegralInRange<uint32_t>(1, 40);
    const int row = in.ConsumeIntegral<int>();
    const int column = in.ConsumeIntegral<int>();
    const auto count = in.ConsumeIntegralInRange<size_t>(0, 8);
    std::vector<base::print_value> values;
    values.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const bool real = in.ConsumeBool();
        const uint64_t bits = in.ConsumeIntegral<uint64_t>();
        if (real) {
            double d;
            std::memcpy(&d, &bits, sizeof d);
            values.emplace_back(d);
        } else {
            values.emplace_back(bits);
        }
    }
    const std::string format = in.ConsumeRemainingBytesAsString();

    // The text: never longer than the format; exactly as long when every field has a value;
    // every character outside the fields kept in its place.
    const std::string text = base::format_fields(format, values);
    if (text.size() > format.size()) std::abort();
    if (count_fields(format) <= values.size() && text.size() != format.size()) std::abort();
    for (size_t i = 0; i < text.size(); ++i) {
        const bool in_field = format[i] == '#' || (format[i] == '.' && i > 0 && format[i - 1] == '#');
        if (!in_field && text[i] != format[i]) std::abort();
        if (in_field && !field_character(text[i])) std::abort();
    }

    // The glyphs: drawn at any cursor into a screen of any small size, never outside it
    // (AddressSanitizer watches the framebuffer's bounds).
    if (base::screen_open(width, height, 32, 2, base::screen_option_alpha_primitives) == nullptr) std::abort();
    base::text_cursor(row, column);
    const base::print_value none = uint64_t{0};
    const auto value = [&](size_t i) { return i < values.size() ? values[i] : none; };
    const std::string printed = base::print_using(format, {value(0), value(1), value(2), value(3), value(4)});
    if (printed.size() > format.size()) std::abort();
    base::print_text(format);
    base::screen_close(0);
    return 0;
}
