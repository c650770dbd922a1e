#include "AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace sonvela {
namespace {

[[noreturn]] void ThrowErrno(int error, const std::string& what) {
    throw std::system_error(error, std::generic_category(), what);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

void WriteAll(int fd, const std::string& bytes, const std::string& path) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno, "cannot write " + path);
        }
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n == 0)
            return bytes;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        mode = existing.st_mode & 07777;

    std::string tempPath = path + ".XXXXXX";
    FileDescriptor fd(::mkostemp(tempPath.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        ThrowErrno(errno, "cannot create a file beside " + path);
    try {
        WriteAll(fd.Get(), bytes, path);
        if (::fchmod(fd.Get(), mode) != 0 || ::fsync(fd.Get()) != 0)
            ThrowErrno(errno, "cannot write " + path);
        if (::close(fd.Release()) != 0)
            ThrowErrno(errno, "cannot write " + path);
        if (::rename(tempPath.c_str(), path.c_str()) != 0)
            ThrowErrno(errno, "cannot replace " + path);
    } catch (...) {
        ::unlink(tempPath.c_str());
        throw;
    }
    // The rename is durable only once the folder's entry is on the disk.
    FileDescriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get());
}

} // namespace sonvela
