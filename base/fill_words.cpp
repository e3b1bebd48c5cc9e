// fill_words: the string-store instruction on x86-64, a plain loop for short runs and elsewhere.
#include "base/fill_words.h"

#include <cstring>

namespace base {

void fill_words(void* dst, size_t count, const uint8_t pattern[4]) {
    auto* p = static_cast<uint8_t*>(dst);
#if defined(__x86_64__)
    // rep stosd writes whole cache lines without reading them first (fast string stores),
    // which is what makes memset fast on large buffers; ordinary vector stores fetch each
    // line before overwriting it and stay about a quarter slower. The direction flag is clear
    // by the calling convention, so the stores go upwards from dst.
    if (count >= 64) {
        uint32_t word = 0;
        std::memcpy(&word, pattern, 4);
        void* to = p;
        size_t n = count;
        asm volatile("rep stosl" : "+D"(to), "+c"(n) : "a"(word) : "memory");
        return;
    }
#endif
    uint8_t* const end = p + count * 4;
    for (; p != end; p += 4) std::memcpy(p, pattern, 4);
}

}  // namespace base
