// Binary file reading by file number: a small table of open files indexed by number.
#include "runtime/file.h"

#include <sys/types.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>

#include "runtime/regular_file.h"

namespace rt {

namespace {

// Slot 0 is never used so that 0 can mean "no number"; a fixed table keeps the
// number range small and the look-up free of allocation.
constexpr int max_file_number = 255;
std::array<std::FILE*, max_file_number + 1> open_files{};

std::FILE* file_for(int file_number) {
    if (file_number < 1 || file_number > max_file_number) return nullptr;
    return open_files[static_cast<size_t>(file_number)];
}

}  // namespace

int free_file_number() {
    for (int n = 1; n <= max_file_number; ++n) {
        if (open_files[static_cast<size_t>(n)] == nullptr) return n;
    }
    return 0;
}

bool file_open_binary(int file_number, const char* file_name) {
    if (file_number < 1 || file_number > max_file_number || file_name == nullptr) return false;
    // A number already in use is refused rather than silently leaking the open file.
    if (open_files[static_cast<size_t>(file_number)] != nullptr) return false;
    // Opened as a regular file, so that a FIFO or device under the name cannot stall the program.
    const regular_file_t checked(file_name, UINT64_MAX);
    const int descriptor = checked.ok() ? dup(checked.descriptor()) : -1;
    if (descriptor < 0) return false;
    std::FILE* f = fdopen(descriptor, "rb");
    if (f == nullptr) {
        close(descriptor);
        return false;
    }
    open_files[static_cast<size_t>(file_number)] = f;
    return true;
}

bool file_read_u32(int file_number, int64_t position, uint32_t* value) {
    std::FILE* f = file_for(file_number);
    if (f == nullptr || value == nullptr || position < 1) return false;
    if (fseeko(f, static_cast<off_t>(position - 1), SEEK_SET) != 0) return false;
    unsigned char bytes[4];
    // A short read (the file ends early, or is a directory) fails instead of yielding
    // stale or partial bytes.
    if (std::fread(bytes, 1, sizeof bytes, f) != sizeof bytes) {
        std::clearerr(f);
        return false;
    }
    *value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
             static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
}

void file_close(int file_number) {
    std::FILE* f = file_for(file_number);
    if (f == nullptr) return;
    std::fclose(f);
    open_files[static_cast<size_t>(file_number)] = nullptr;
}

}  // namespace rt
