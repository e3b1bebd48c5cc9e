// Number-to-text conversions.
#include "base/number_text.h"

#include <cstdio>

namespace base {

std::string single_to_string(float value) {
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(value));
    std::string text(buf, n > 0 ? static_cast<size_t>(n) : 0);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

std::string unsigned_to_decimal(uint64_t value) {
    char buf[24];
    char* p = buf + sizeof buf;
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return std::string(p, buf + sizeof buf);
}

}  // namespace base
