// Number-to-text conversions shared by the text forms of the math, geometry and collection types.
#pragma once

#include <cstdint>
#include <string>

namespace base {

// printf's "%.7g" of the value widened to double, with a final "." removed.
std::string single_to_string(float value);

// Base 10, no sign, no leading zeros.
std::string unsigned_to_decimal(uint64_t value);

}  // namespace base
