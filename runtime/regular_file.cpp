// regular_file_t: opening by name, checking the name and then the open descriptor, and reading within a limit.
#include "runtime/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

namespace rt {
namespace {

file_problem_t problem_of_errno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return file_problem_t::missing;
        case EACCES:
        case EPERM:
            return file_problem_t::permission;
        case EISDIR:
            return file_problem_t::directory;
        default:
            return file_problem_t::unreadable;
    }
}

file_problem_t problem_of_mode(mode_t mode) {
    if (S_ISREG(mode)) return file_problem_t::none;
    return S_ISDIR(mode) ? file_problem_t::directory : file_problem_t::not_regular;
}

// The canonical path of a name (every symbolic link followed), or empty.
std::string canonical(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// Where the open descriptor's file really is. The kernel's own record is used where /proc
// shows it, so a link changed after the open cannot mislead the check; else the name resolved.
std::string canonical_of_open_file(int descriptor, const std::string& path) {
    char link[64];
    char target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", descriptor);
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length > 0 && target[0] == '/') return std::string(target, static_cast<size_t>(length));
    return canonical(path);
}

std::string lexically_resolved(const std::string& path) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(std::filesystem::absolute(path), error);
    return error ? std::string() : resolved.string();
}

bool lies_inside(const std::string& file, const std::string& folder) {
    const std::string root = canonical(folder.empty() ? "." : folder);
    if (root.empty() || file.empty()) return false;
    if (root == "/") return true;
    return file.size() > root.size() && file.compare(0, root.size(), root) == 0 && file[root.size()] == '/';
}

}  // namespace

regular_file_t::regular_file_t(const std::string& path, uint64_t max_bytes, const std::string& confining_folder)
    : max_bytes_(max_bytes), confining_folder_(confining_folder) {
    // Confined, the place comes first, so that nothing more is told of a file outside, not
    // even whether it exists: the name resolved as far as it exists, the rest taken as written.
    if (!confining_folder.empty() && !lies_inside(lexically_resolved(path), confining_folder)) {
        problem_ = file_problem_t::outside_folder;
        return;
    }
    // The name first: a FIFO or device is refused without being opened at all.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        problem_ = problem_of_errno(errno);
        return;
    }
    problem_ = problem_of_mode(info.st_mode);
    if (!ok()) return;
    descriptor_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor_ < 0) {
        problem_ = problem_of_errno(errno);
        return;
    }
    // Then what was opened, which the name may no longer denote.
    if (fstat(descriptor_, &info) != 0) {
        problem_ = file_problem_t::unreadable;
    } else {
        problem_ = problem_of_mode(info.st_mode);
    }
    if (ok() && !confining_folder.empty() &&
        !lies_inside(canonical_of_open_file(descriptor_, path), confining_folder)) {
        problem_ = file_problem_t::outside_folder;
    }
    if (ok()) {
        size_ = info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
        if (size_ > max_bytes) problem_ = file_problem_t::too_large;
    }
    if (!ok()) {
        close(descriptor_);
        descriptor_ = -1;
    }
}

regular_file_t::~regular_file_t() {
    if (descriptor_ >= 0) close(descriptor_);
}

std::string regular_file_t::why() const {
    switch (problem_) {
        case file_problem_t::none:
            return "";
        case file_problem_t::missing:
            return "no such file";
        case file_problem_t::directory:
            return "is a directory";
        case file_problem_t::not_regular:
            return "not a regular file";
        case file_problem_t::permission:
            return "cannot be read (permission denied)";
        case file_problem_t::too_large:
            return "too large: at most " + std::to_string(max_bytes_) + " bytes are accepted";
        case file_problem_t::outside_folder:
            return "lies outside the folder " + (confining_folder_.empty() ? std::string(".") : confining_folder_);
        case file_problem_t::unreadable:
            break;
    }
    return "cannot be read";
}

bool regular_file_t::read_all(std::vector<uint8_t>* bytes) {
    bytes->clear();
    if (!ok()) return false;
    // Files of /proc and the like say 0 and still have bytes: reading goes on to the end
    // either way, one byte past the limit at most.
    try {
        bytes->resize(static_cast<size_t>(size_ + (size_ < max_bytes_ ? 1 : 0)));
        size_t filled = 0;
        for (;;) {
            if (filled == bytes->size()) {
                if (filled > max_bytes_) break;
                bytes->resize(std::min<uint64_t>(max_bytes_ + 1, std::max<uint64_t>(filled * 2, 4096)));
            }
            const ssize_t got = read(descriptor_, bytes->data() + filled, bytes->size() - filled);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                problem_ = file_problem_t::unreadable;
                bytes->clear();
                return false;
            }
            if (got == 0) break;
            filled += static_cast<size_t>(got);
        }
        if (filled > max_bytes_) {
            problem_ = file_problem_t::too_large;
            bytes->clear();
            return false;
        }
        bytes->resize(filled);
    } catch (const std::bad_alloc&) {
        problem_ = file_problem_t::unreadable;
        bytes->clear();
        return false;
    }
    return true;
}

bool read_regular_file(const std::string& path, uint64_t max_bytes, std::vector<uint8_t>* bytes, std::string* why,
                       const std::string& confining_folder) {
    regular_file_t file(path, max_bytes, confining_folder);
    if (file.read_all(bytes)) return true;
    *why = file.why();
    return false;
}

}  // namespace rt
