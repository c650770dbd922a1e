#include "SingleInstance.h"

#include "FunctionUnit.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace sonvela {

std::optional<SingleInstanceLock> SingleInstanceLock::Acquire(const std::string& folder,
                                                              const std::string& name) {
    ::mkdir(folder.c_str(), 0700);
    // O_CLOEXEC: a child process (a converter, xdg-open) must not inherit the
    // descriptor, or the lock would outlive this instance.
    const std::string path = WithBackslash(folder) + name;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return SingleInstanceLock(-1);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        const bool heldElsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        if (heldElsewhere)
            return std::nullopt;
        return SingleInstanceLock(-1);
    }
    return SingleInstanceLock(fd);
}

std::string SingleInstanceLock::DefaultFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) {
        struct stat st {};
        if (::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid())
            return WithBackslash(runtime);
    }
    return TempDir();
}

SingleInstanceLock::SingleInstanceLock(SingleInstanceLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

SingleInstanceLock& SingleInstanceLock::operator=(SingleInstanceLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing the last descriptor releases the lock
}

} // namespace sonvela
