// Byte exchange of two records of the same type.
#pragma once

#include <cstring>
#include <type_traits>

namespace base {

template <class T>
inline void exchange(T& a, T& b) {
    static_assert(std::is_trivially_copyable_v<T>, "exchange swaps raw bytes");
    unsigned char tmp[sizeof(T)];
    std::memcpy(tmp, &a, sizeof(T));
    std::memcpy(&a, &b, sizeof(T));
    std::memcpy(&b, tmp, sizeof(T));
}

}  // namespace base
