// Sized render targets with their memory checked before they are allocated.
#include "viewer/picture_target.h"

#include <cstdio>

#include "runtime/system_memory.h"

uint64_t picture_memory_bytes(uint32_t width, uint32_t height, bool transparent) {
    const uint64_t pixels = uint64_t{width} * height;
    return pixels * (transparent ? 12 : 8);
}

std::unique_ptr<screen_t> open_sized_screen(uint32_t width, uint32_t height, bool transparent, std::string* why,
                                            bool offscreen) {
    const uint64_t needed = picture_memory_bytes(width, height, transparent);
    const uint64_t available = rt::available_memory_bytes();
    const auto refuse = [&](const char* what) {
        char line[200];
        std::snprintf(line, sizeof line, "a %u x %u picture needs %llu MiB for its buffers; %s", width, height,
                      static_cast<unsigned long long>((needed + (1 << 20) - 1) >> 20), what);
        *why = line;
        return nullptr;
    };
    if (needed > available) {
        char what[100];
        std::snprintf(what, sizeof what, "only %llu MiB of memory are available",
                      static_cast<unsigned long long>(available >> 20));
        return refuse(what);
    }
    auto target = offscreen ? std::make_unique<screen_t>(width, height, 90.0f, screen_t::offscreen_tag{})
                            : std::make_unique<screen_t>(width, height, 90.0f);
    if (target->framebuffer == nullptr || target->zbuffer == nullptr) return refuse("they could not be allocated");
    return target;
}
