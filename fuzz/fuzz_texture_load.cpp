// libFuzzer target: texture_t::load on arbitrary bytes written to a file, every BMP header field hostile.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "model/texture_files.h"
#include "runtime/image.h"
#include "surfaces/texture.h"

namespace {

// One file name per fuzzing process; the file is written for every input and removed again
// once the input is done (libFuzzer may end the process without running exit handlers).
// /dev/shm keeps the file in memory where it exists, so the fuzzer is not slowed by a disk.
const std::string& scratch_file() {
    static const std::string path = [] {
        const char* dir = std::getenv("SOFTCUBE_FUZZ_TMPDIR");
        if (dir == nullptr || *dir == '\0') dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string p = std::string(dir) + "/softcube-fuzz-texture-" + std::to_string(getpid()) + ".bmp";
        return p;
    }();
    return path;
}

bool write_file(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

int32_t le32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!write_file(scratch_file(), data, size)) {
        std::remove(scratch_file().c_str());
        std::fprintf(stderr, "fuzz_texture_load: cannot write %s\n", scratch_file().c_str());
        std::abort();
    }

    // A texture that already holds something: a failed load must leave it exactly as it was.
    texture_t texture(3, 2, 32);
    for (uint32_t i = 0; i < 3 * 2 * 4; ++i) texture.pixels[i] = static_cast<uint8_t>(0xA0 + i);
    const uint8_t* before = texture.pixels;

    const bool loaded = load_texture(texture, scratch_file().c_str());
    std::remove(scratch_file().c_str());
    if (!loaded) {
        if (texture.width != 3 || texture.height != 2 || texture.depth != 32 || texture.pixels != before) std::abort();
        for (uint32_t i = 0; i < 3 * 2 * 4; ++i) {
            if (texture.pixels[i] != static_cast<uint8_t>(0xA0 + i)) std::abort();
        }
        return 0;
    }

    // Accepted: the size is the one the header declares (the height's magnitude), within
    // the limit, and every texel byte is there (AddressSanitizer checks the last one).
    if (size < 26) std::abort();
    const int32_t declared_width = le32(data + 18);
    const int32_t declared_height = le32(data + 22);
    const uint32_t rows =
        declared_height < 0 ? 0u - static_cast<uint32_t>(declared_height) : static_cast<uint32_t>(declared_height);
    if (texture.width != static_cast<uint32_t>(declared_width) || texture.height != rows || texture.depth != 32 ||
        texture.width == 0 || texture.height == 0 || texture.width > static_cast<uint32_t>(rt::image_max_side) ||
        texture.height > static_cast<uint32_t>(rt::image_max_side)) {
        std::abort();
    }
    const size_t last = static_cast<size_t>(texture.width) * texture.height * 4 - 1;
    volatile uint8_t sink = texture.pixels[last];
    (void)sink;
    return 0;
}
