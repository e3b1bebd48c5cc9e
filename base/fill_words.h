// fill_words: a buffer filled with one repeated 32-bit pattern at the speed of memset.
#pragma once

#include <cstddef>
#include <cstdint>

namespace base {

// Writes the 4 bytes at `pattern` count times from dst onwards (dst needs no alignment).
// The clears of the colour and depth buffers are this, over every byte of both buffers
// each frame.
void fill_words(void* dst, size_t count, const uint8_t pattern[4]);

}  // namespace base
