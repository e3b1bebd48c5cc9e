// triangle_t: three vertex indices, the element of an indexed triangle list.
#pragma once

#include <cstdint>

struct triangle_t {
    int32_t a = 0;
    int32_t b = 0;
    int32_t c = 0;

    constexpr triangle_t() = default;
    constexpr triangle_t(int32_t a_, int32_t b_, int32_t c_) : a(a_), b(b_), c(c_) {}
};
