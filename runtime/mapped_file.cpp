// mapped_file_t: a file mapped read-only with mmap, every page mapped up front.
#include "runtime/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {

mapped_file_t::mapped_file_t(const std::string& path) {
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return;
    struct stat info {};
    if (fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0) {
        size_ = static_cast<size_t>(info.st_size);
        if (size_ == 0) {
            ok_ = true;
        } else {
            // Populating at once spares a page fault per page as the reader walks the text.
            void* mapped = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
            if (mapped != MAP_FAILED) {
                data_ = static_cast<const char*>(mapped);
                ok_ = true;
            } else {
                size_ = 0;
            }
        }
    }
    close(descriptor);
}

mapped_file_t::~mapped_file_t() {
    if (data_ != nullptr) munmap(const_cast<char*>(data_), size_);
}

}  // namespace rt
