// Available memory from /proc/meminfo.
#include "runtime/system_memory.h"

#include <cstdio>
#include <cstring>

namespace rt {

uint64_t available_memory_bytes() {
    std::FILE* file = std::fopen("/proc/meminfo", "r");
    if (file == nullptr) return UINT64_MAX;
    char line[256];
    uint64_t available = UINT64_MAX;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        unsigned long long kib = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
            available = static_cast<uint64_t>(kib) * 1024;
            break;
        }
    }
    std::fclose(file);
    return available;
}

}  // namespace rt
