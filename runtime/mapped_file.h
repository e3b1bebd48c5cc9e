// mapped_file_t: a whole file's bytes mapped read-only into memory, for reading large text files without copying them.
#pragma once

#include <cstddef>

#include "runtime/regular_file.h"

namespace rt {

// The mapping shares the page cache's copy of the file, so a file of tens of megabytes costs
// neither a copy nor fresh pages. The file must not be shortened while it is mapped.
class mapped_file_t {
public:
    // Maps a regular file opened (and so checked, limit included) by regular_file_t, which
    // may be closed afterwards; ok() is false when it was not opened or cannot be mapped.
    explicit mapped_file_t(const regular_file_t& file);
    ~mapped_file_t();
    mapped_file_t(const mapped_file_t&) = delete;
    mapped_file_t& operator=(const mapped_file_t&) = delete;

    bool ok() const { return ok_; }
    // The file's bytes (nullptr for an empty file) and their count.
    const char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    const char* data_ = nullptr;
    size_t size_ = 0;
    bool ok_ = false;
};

}  // namespace rt
