// text_buffer_t: bytes in memory read as a std::istream's buffer, in place.
#pragma once

#include <cstddef>
#include <streambuf>

// Reads bytes in place, without the copy std::istringstream makes; nothing is ever written.
struct text_buffer_t : std::streambuf {
    text_buffer_t(const char* first, size_t size) {
        char* const begin = const_cast<char*>(first);
        setg(begin, begin, begin + size);
    }
};
