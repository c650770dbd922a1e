#include "Installation.h"

#include "AtomicFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <system_error>

namespace sonvela {
namespace {

namespace fs = std::filesystem;

bool IsBlankByte(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// Adds an execute bit wherever there is a read bit, as "chmod +x" does
// under the usual umask.
std::error_code MakeExecutable(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {errno, std::generic_category()};
    const mode_t mode = st.st_mode & 07777;
    if (::chmod(path.c_str(), mode | ((mode & 0444) >> 2)) != 0)
        return {errno, std::generic_category()};
    return {};
}

// Moves the existing `path` (and an SQLite journal left beside it by a
// program that stopped mid-write, which belongs to that file and would
// otherwise be played back into the new one) to "<path>.bak".
std::error_code MoveAsideAsBackup(const fs::path& path) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error)))
        return {};
    for (const char* sidecar : {"-journal", "-wal"}) {
        fs::path from = path;
        from += sidecar;
        if (fs::exists(fs::symlink_status(from, error))) {
            fs::path to = path;
            to += std::string(".bak") + sidecar;
            fs::rename(from, to, error);
            if (error)
                return error;
        }
    }
    fs::path backup = path;
    backup += ".bak";
    fs::rename(path, backup, error);
    return error;
}

std::optional<InstallFault> CreateFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (!error && !fs::is_directory(folder, error) && !error)
        error = std::make_error_code(std::errc::not_a_directory);
    if (error)
        return InstallFault{InstallFault::Kind::Folder, folder, error.message()};
    return std::nullopt;
}

std::optional<InstallFault> WriteOne(const fs::path& folder, const InstallFile& file) {
    const fs::path target = folder / fs::path(std::string(file.relativePath));
    if (file.keepBackup) {
        if (const std::error_code error = MoveAsideAsBackup(target))
            return InstallFault{InstallFault::Kind::File, target, error.message()};
    }
    try {
        WriteFileAtomically(target.string(), std::string(file.bytes));
    } catch (const std::system_error& fault) {
        return InstallFault{InstallFault::Kind::File, target, fault.code().message()};
    }
    if (file.executable) {
        if (const std::error_code error = MakeExecutable(target))
            return InstallFault{InstallFault::Kind::File, target, error.message()};
    }
    return std::nullopt;
}

} // namespace

std::optional<std::filesystem::path> InstallFolderFromText(std::string_view text,
                                                           const std::filesystem::path& home) {
    while (!text.empty() && IsBlankByte(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankByte(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;

    fs::path path;
    if (text == "~")
        path = home;
    else if (text.starts_with("~/"))
        path = home / fs::path(std::string(text.substr(2)));
    else
        path = fs::path(std::string(text));
    if (path.is_relative())
        path = home / path;
    path = path.lexically_normal();
    // "/a/b/" and "/a/b" are one folder; keep the plain form.
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path())
        path = path.parent_path();
    return path;
}

bool InstallationExists(const std::filesystem::path& folder) {
    std::error_code error;
    return fs::exists(folder / "speaker.exe", error);
}

std::string InstallFaultMessage(const InstallFault& fault) {
    const char* what = fault.kind == InstallFault::Kind::Folder ? "无法创建文件夹" : "无法写入文件";
    return std::string(what) + " \"" + fault.path.string() + "\"：\n" + fault.systemText;
}

std::optional<InstallFault> WriteInstallFiles(const std::filesystem::path& folder,
                                              std::span<const InstallFile> files) {
    if (auto fault = CreateFolder(folder))
        return fault;
    if (auto fault = CreateFolder(folder / "books"))
        return fault;
    for (const InstallFile& file : files) {
        const fs::path parent = (folder / fs::path(std::string(file.relativePath))).parent_path();
        if (auto fault = CreateFolder(parent))
            return fault;
        if (auto fault = WriteOne(folder, file))
            return fault;
    }
    return std::nullopt;
}

} // namespace sonvela
