// Sized render targets with their memory checked before they are allocated.
#include "viewer/picture_target.h"

#include <algorithm>
#include <cstdio>

#include "base/graphics_screen.h"
#include "runtime/system_memory.h"

namespace {

// The one-line refusal of a picture whose buffers need `needed` bytes.
std::string refusal(uint32_t width, uint32_t height, uint64_t needed, const char* what) {
    char line[200];
    std::snprintf(line, sizeof line, "a %u x %u picture needs %llu MiB for its buffers; %s", width, height,
                  static_cast<unsigned long long>((needed + (1 << 20) - 1) >> 20), what);
    return line;
}

// Empty when the memory available holds the `wanted` bytes still to allocate of the `needed`
// that the picture takes in all, else why not.
std::string memory_shortage(uint32_t width, uint32_t height, uint64_t needed, uint64_t wanted) {
    const uint64_t available = rt::available_memory_bytes();
    if (wanted <= available) return "";
    char what[100];
    std::snprintf(what, sizeof what, "only %llu MiB of memory are available",
                  static_cast<unsigned long long>(available >> 20));
    return refusal(width, height, needed, what);
}

}  // namespace

uint64_t picture_memory_bytes(uint32_t width, uint32_t height, bool transparent, uint32_t ssaa) {
    const uint64_t pixels = uint64_t{width} * height;
    const uint64_t samples = ssaa > 1 ? pixels * ssaa * ssaa * 8 : 0;
    return pixels * (transparent ? 12 : 8) + samples;
}

std::unique_ptr<screen_t> open_sized_screen(uint32_t width, uint32_t height, bool transparent, std::string* why,
                                            bool offscreen, uint32_t ssaa) {
    const uint64_t needed = picture_memory_bytes(width, height, transparent, ssaa);
    if (std::string shortage = memory_shortage(width, height, needed, needed); !shortage.empty()) {
        *why = std::move(shortage);
        return nullptr;
    }
    auto target = offscreen ? std::make_unique<screen_t>(width, height, 90.0f, screen_t::offscreen_tag{})
                            : std::make_unique<screen_t>(width, height, 90.0f);
    if (target->framebuffer == nullptr || target->zbuffer == nullptr) {
        *why = refusal(width, height, needed, "they could not be allocated");
        return nullptr;
    }
    if (ssaa > 1 && !supersample_screen(*target, ssaa, transparent, why)) return nullptr;
    return target;
}

bool supersample_screen(screen_t& screen, uint32_t ssaa, bool transparent, std::string* why) {
    screen.ssaa = 1;
    screen.make_samples();
    if (ssaa <= 1) return true;
    const uint64_t side = uint64_t{std::max(screen.width, screen.height)} * ssaa;
    if (side > base::screen_max_side) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "--ssaa %u draws %llu samples along a side of a %u x %u picture; at most %u are possible", ssaa,
                      static_cast<unsigned long long>(side), screen.width, screen.height, base::screen_max_side);
        *why = line;
        return false;
    }
    // The screen's own buffers exist already; the samples come on top.
    const uint64_t needed = picture_memory_bytes(screen.width, screen.height, transparent, ssaa);
    const uint64_t samples = needed - picture_memory_bytes(screen.width, screen.height, transparent);
    if (std::string shortage = memory_shortage(screen.width, screen.height, needed, samples); !shortage.empty()) {
        *why = std::move(shortage);
        return false;
    }
    screen.ssaa = ssaa;
    if (screen.make_samples()) return true;
    screen.ssaa = 1;
    *why = refusal(screen.width, screen.height, needed, "they could not be allocated");
    return false;
}
