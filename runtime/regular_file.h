// Opening and reading files that must be regular files: never a FIFO, device or folder, never past a size limit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rt {

// Why a file cannot be read.
enum class file_problem_t { none, missing, directory, not_regular, permission, too_large, outside_folder, unreadable };

// A regular file opened for reading. The name is checked before anything is opened, the file
// is opened without blocking (a FIFO swapped in after the check can neither stall the open
// nor be read) and the open descriptor is checked again, so what is read is the regular file
// that was checked. With a confining folder, the file must lie inside that folder once every
// symbolic link is followed. The descriptor is closed with the object.
class regular_file_t {
public:
    regular_file_t(const std::string& path, uint64_t max_bytes, const std::string& confining_folder = {});
    ~regular_file_t();
    regular_file_t(const regular_file_t&) = delete;
    regular_file_t& operator=(const regular_file_t&) = delete;

    bool ok() const { return problem_ == file_problem_t::none; }
    file_problem_t problem() const { return problem_; }
    // One line saying what is wrong, naming neither the file nor anything it holds (not even
    // its size, for a too-large file): "no such file", "is a directory", "not a regular file", ...
    std::string why() const;
    int descriptor() const { return descriptor_; }
    // The file's length when it was opened; also kept for a file refused as too large.
    uint64_t size() const { return size_; }

    // Every byte up to the end of the file; a file grown past the limit since it was opened is
    // refused as too large. False, with problem() and why() saying why, when it cannot be read.
    bool read_all(std::vector<uint8_t>* bytes);

private:
    int descriptor_ = -1;
    uint64_t size_ = 0;
    uint64_t max_bytes_ = 0;
    std::string confining_folder_;
    file_problem_t problem_ = file_problem_t::none;
};

// The whole of a regular file within the limit (and the confining folder, when not empty); on
// failure false with regular_file_t::why() in *why.
bool read_regular_file(const std::string& path, uint64_t max_bytes, std::vector<uint8_t>* bytes, std::string* why,
                       const std::string& confining_folder = {});

}  // namespace rt
