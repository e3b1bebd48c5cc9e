// mapped_file_t: a file mapped read-only with mmap, every page mapped up front.
#include "runtime/mapped_file.h"

#include <sys/mman.h>

namespace rt {

mapped_file_t::mapped_file_t(const regular_file_t& file) {
    if (!file.ok()) return;
    if (file.size() == 0) {
        ok_ = true;
        return;
    }
    // Populating at once spares a page fault per page as the reader walks the text.
    void* mapped =
        mmap(nullptr, static_cast<size_t>(file.size()), PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.descriptor(), 0);
    if (mapped == MAP_FAILED) return;
    data_ = static_cast<const char*>(mapped);
    size_ = static_cast<size_t>(file.size());
    ok_ = true;
}

mapped_file_t::~mapped_file_t() {
    if (data_ != nullptr) munmap(const_cast<char*>(data_), size_);
}

}  // namespace rt
