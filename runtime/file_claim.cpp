// Claiming a file name with an exclusive create.
#include "runtime/file_claim.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace rt {

claim_result claim_new_file(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
        return claim_result::claimed;
    }
    return errno == EEXIST ? claim_result::taken : claim_result::failed;
}

}  // namespace rt
