#include "AtomicFile.h"

#include "FileError.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace sonvela {
namespace {

constexpr const char* kSaveMarker = ".sonvela-save-";
constexpr std::size_t kRandomPart = 6; // mkostemp's XXXXXX
constexpr const char* kCannotRead = "无法读取文件";
constexpr const char* kCannotSave = "无法保存文件";

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LeftoverPrefix(const std::string& path) {
    return "." + NameOf(path) + kSaveMarker;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0)
                ::close(fd_);
            fd_ = other.Release();
        }
        return *this;
    }
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Fails with the error number instead of throwing, so that callers can
// choose between giving up and another way.
int WriteAllAt(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Opens without blocking (a FIFO's open would wait for a writer) and
// refuses anything but a regular file.
FileDescriptor OpenRegular(const std::string& path, int flags, const char* action,
                           struct stat& st) {
    FileDescriptor fd(::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0)
        throw FileError(errno, action, path);
    if (::fstat(fd.Get(), &st) != 0)
        throw FileError(errno, action, path);
    if (S_ISDIR(st.st_mode))
        throw FileError(EISDIR, action, path);
    if (!S_ISREG(st.st_mode))
        throw FileError(EINVAL, action, path, kCauseNotRegular);
    return fd;
}

// The file a write to `path` lands in: symbolic links followed, also a
// dangling one (its target is created, as any editor would).
std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n < 0)
            throw FileError(errno, kCannotSave, path);
        target.resize(static_cast<std::size_t>(n));
        current = target.starts_with('/') ? target : FolderOf(current) + "/" + target;
    }
    throw FileError(ELOOP, kCannotSave, path);
}

bool MayWrite(const std::string& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// A file nobody may write is read-only for the program too, even when it
// runs as the super-user, whom the permission bits do not stop.
void RefuseReadOnly(const std::string& path, const struct stat& st) {
    if ((st.st_mode & 0222) == 0)
        throw FileError(EACCES, kCannotSave, path, kCauseReadOnly);
    if (!MayWrite(path)) {
        const int error = errno;
        throw FileError(error, kCannotSave, path, error == EACCES ? kCauseReadOnly : "");
    }
}

// Copies every extended attribute, the ACL among them. Returns false when
// one that matters could not be given to the new file; attributes the file
// system of the new file simply lacks do not count.
bool CopyAttributes(int from, int to) {
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0)
        return true;
    std::string names(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::flistxattr(from, names.data(), names.size());
    if (got < 0)
        return false;
    names.resize(static_cast<std::size_t>(got));
    for (std::size_t pos = 0; pos < names.size();) {
        const std::string name = names.c_str() + pos;
        pos += name.size() + 1;
        const ssize_t valueSize = ::fgetxattr(from, name.c_str(), nullptr, 0);
        if (valueSize < 0)
            return false;
        std::string value(static_cast<std::size_t>(valueSize), '\0');
        const ssize_t valueGot = ::fgetxattr(from, name.c_str(), value.data(), value.size());
        if (valueGot < 0)
            return false;
        if (::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(valueGot), 0) !=
            0) {
            // The security label belongs to the system, not to the file's
            // content; losing the ACL or a user attribute would change the
            // file, so those send the write the other way.
            if (name.starts_with("security."))
                continue;
            return false;
        }
    }
    return true;
}

mode_t CurrentUmask() {
    // umask() can only be read by setting it, which would race with other
    // threads creating files; the kernel shows it here.
    if (const auto status = ReadWholeFile("/proc/self/status")) {
        const std::size_t at = status->find("Umask:");
        if (at != std::string::npos)
            return static_cast<mode_t>(std::strtoul(status->c_str() + at + 6, nullptr, 8));
    }
    return 022;
}

void SyncFolder(const std::string& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0)
        ::fsync(fd.Get());
}

enum class RenameOutcome { Done, UseInPlace };

// The ordinary save: a complete new file renamed over the old one.
RenameOutcome ReplaceByRename(const std::string& target, const std::string& bytes,
                              const struct stat* existing) {
    const std::string folder = FolderOf(target);
    std::string tempPath = folder + "/" + LeftoverPrefix(target) + std::string(kRandomPart, 'X');
    FileDescriptor fd(::mkostemp(tempPath.data(), O_CLOEXEC));
    if (fd.Get() < 0) {
        if (existing && (errno == EACCES || errno == EPERM || errno == EROFS))
            return RenameOutcome::UseInPlace;
        throw FileError(errno, kCannotSave, target);
    }
    // The lock tells a later clean-up in another process that this save is
    // still running; the kernel drops it when the process dies.
    ::flock(fd.Get(), LOCK_EX | LOCK_NB);
    bool renamed = false;
    try {
        if (existing) {
            FileDescriptor old(::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
            // A new file belongs to us; giving it the old owner takes the
            // super-user, and without it the file is written in place.
            const bool ownerKept =
                (existing->st_uid == ::geteuid() && existing->st_gid == ::getegid()) ||
                ::fchown(fd.Get(), existing->st_uid, existing->st_gid) == 0;
            if (old.Get() < 0 || !ownerKept || !CopyAttributes(old.Get(), fd.Get())) {
                ::unlink(tempPath.c_str());
                return RenameOutcome::UseInPlace;
            }
        }
        const mode_t mode = existing ? (existing->st_mode & 07777) : 0644;
        if (const int error = WriteAllAt(fd.Get(), bytes))
            throw FileError(error, kCannotSave, target);
        // After fchown, which clears set-id bits; the ACL's mask is the
        // group bits, so the mode goes on after the attributes too.
        if (::fchmod(fd.Get(), existing ? mode : (mode & ~CurrentUmask())) != 0 ||
            ::fsync(fd.Get()) != 0)
            throw FileError(errno, kCannotSave, target);
        if (::rename(tempPath.c_str(), target.c_str()) != 0)
            throw FileError(errno, kCannotSave, target);
        renamed = true;
    } catch (...) {
        if (!renamed)
            ::unlink(tempPath.c_str());
        throw;
    }
    // The rename is durable only once the folder's entry is on the disk.
    SyncFolder(folder);
    return RenameOutcome::Done;
}

// The save for a file that a rename would change: the old content is
// copied aside, then the new content written over the old; a failure puts
// the old content back.
void WriteInPlace(const std::string& target, const std::string& bytes) {
    struct stat st {};
    FileDescriptor fd = OpenRegular(target, O_RDWR, kCannotSave, st);
    const std::string old = ReadRegularFile(target);

    // Beside the file when its folder allows it, else in the temporary
    // folder: either way a name the clean-up knows.
    std::string backupPath =
        FolderOf(target) + "/" + LeftoverPrefix(target) + std::string(kRandomPart, 'X');
    FileDescriptor backup(::mkostemp(backupPath.data(), O_CLOEXEC));
    if (backup.Get() < 0) {
        const char* tmp = std::getenv("TMPDIR");
        backupPath = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + LeftoverPrefix(target) +
                     std::string(kRandomPart, 'X');
        backup = FileDescriptor(::mkostemp(backupPath.data(), O_CLOEXEC));
    }
    if (backup.Get() < 0)
        throw FileError(errno, kCannotSave, target);
    ::flock(backup.Get(), LOCK_EX | LOCK_NB); // spared by a clean-up meanwhile
    if (const int error = WriteAllAt(backup.Get(), old); error || ::fsync(backup.Get()) != 0) {
        ::unlink(backupPath.c_str());
        throw FileError(error ? error : errno, kCannotSave, target);
    }

    // Space for the new content first: a full disk is then found before a
    // byte of the file has changed.
    int error = bytes.size() > old.size()
                    ? ::posix_fallocate(fd.Get(), 0, static_cast<off_t>(bytes.size()))
                    : 0;
    if (error == EOPNOTSUPP || error == EINVAL)
        error = 0; // file systems without preallocation: the write finds out
    if (!error)
        error = WriteAllAt(fd.Get(), bytes);
    if (!error && ::ftruncate(fd.Get(), static_cast<off_t>(bytes.size())) != 0)
        error = errno;
    if (!error && ::fsync(fd.Get()) != 0)
        error = errno;
    if (!error) {
        ::unlink(backupPath.c_str());
        return;
    }
    const bool restored = WriteAllAt(fd.Get(), old) == 0 &&
                          ::ftruncate(fd.Get(), static_cast<off_t>(old.size())) == 0 &&
                          ::fsync(fd.Get()) == 0;
    if (restored) {
        ::unlink(backupPath.c_str());
        throw FileError(error, kCannotSave, target);
    }
    throw FileError(error, kCannotSave, target,
                    FileErrorCause(error) + "，原内容保存在 " + backupPath);
}

} // namespace

std::string ReadRegularFile(const std::string& path) {
    struct stat st {};
    FileDescriptor fd = OpenRegular(path, O_RDONLY, kCannotRead, st);
    std::string bytes;
    if (st.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n == 0)
            return bytes;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errno, kCannotRead, path);
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    try {
        return ReadRegularFile(path);
    } catch (const FileError&) {
        return std::nullopt;
    }
}

bool IsSaveTemporaryName(const std::string& name) {
    const std::size_t marker = name.rfind(kSaveMarker);
    return name.size() > 1 && name.front() == '.' && marker != std::string::npos && marker > 1 &&
           name.size() == marker + std::string_view(kSaveMarker).size() + kRandomPart;
}

void RemoveSaveLeftovers(const std::string& path) {
    const std::string target = FollowLinks(path);
    const std::string folder = FolderOf(target);
    const std::string prefix = LeftoverPrefix(target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.starts_with(prefix) && name.size() == prefix.size() + kRandomPart)
            leftovers.push_back(folder + "/" + name);
    }
    ::closedir(dir);
    for (const std::string& leftover : leftovers) {
        FileDescriptor fd(::open(leftover.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0)
            ::unlink(leftover.c_str());
    }
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string target = FollowLinks(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        throw FileError(errno, kCannotSave, path);
    if (exists) {
        if (S_ISDIR(st.st_mode))
            throw FileError(EISDIR, kCannotSave, path);
        if (!S_ISREG(st.st_mode))
            throw FileError(EINVAL, kCannotSave, path, kCauseNotRegular);
        RefuseReadOnly(target, st);
    }
    RemoveSaveLeftovers(target);
    const bool renameKeepsTheFile =
        !exists || (st.st_nlink <= 1 &&
                    ::faccessat(AT_FDCWD, FolderOf(target).c_str(), W_OK | X_OK, AT_EACCESS) == 0);
    if (renameKeepsTheFile &&
        ReplaceByRename(target, bytes, exists ? &st : nullptr) == RenameOutcome::Done)
        return;
    WriteInPlace(target, bytes);
}

} // namespace sonvela
