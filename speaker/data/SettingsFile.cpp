#include "SettingsFile.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "GbkText.h"
#include "IniDocument.h"
#include "SettingValues.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonvela {
namespace {

constexpr std::size_t kMaxStringBytes = 2047;

} // namespace

struct SettingsFile::State {
    // Why the file is left alone; empty while it is usable.
    std::string heldBecause;
    bool told = false;
};

SettingsFile::SettingsFile(std::string path)
    : path_(std::move(path)), state_(std::make_shared<State>()) {}

void SettingsFile::Hold(const std::string& cause) const {
    if (state_->heldBecause.empty())
        state_->heldBecause = cause;
}

std::string SettingsFile::LoadBytes() const {
    try {
        return ReadRegularFile(path_);
    } catch (const FileError& error) {
        if (error.code().value() != ENOENT)
            Hold(error.Cause());
        return {};
    }
}

std::optional<std::string> SettingsFile::CheckAtStartup() const {
    RemoveSaveLeftovers(path_);
    LoadBytes();
    struct stat st {};
    if (state_->heldBecause.empty() && ::stat(path_.c_str(), &st) == 0 &&
        ((st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, path_.c_str(), W_OK, AT_EACCESS) != 0))
        Hold(kCauseReadOnly);
    if (state_->heldBecause.empty() || state_->told)
        return std::nullopt;
    state_->told = true;
    if (state_->heldBecause == kCauseReadOnly)
        return "设置文件 " + path_ + " 是只读的，本次运行中的设置更改不会保存。";
    return "设置文件 " + path_ + " 无法读取（" + state_->heldBecause +
           "），本次运行使用默认设置，文件保持原样。";
}

void SettingsFile::ThrowIfHeld() const {
    if (state_->heldBecause.empty())
        return;
    if (state_->told)
        return;
    state_->told = true;
    throw FileError(EACCES, "无法保存设置文件", path_, state_->heldBecause);
}

SettingsFile SettingsFile::InFolder(const std::string& folderWithSeparator) {
    return SettingsFile(folderWithSeparator + "setinfo.ini");
}

bool SettingsFile::Exists() const {
    struct stat st {};
    return ::stat(path_.c_str(), &st) == 0;
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    const auto value = IniDocument::Parse(LoadBytes()).Find(section, key);
    if (!value)
        return std::string(defaultValue);
    return value->substr(0, GbkWholeCharPrefix(*value, kMaxStringBytes));
}

std::int32_t SettingsFile::ReadInteger(std::string_view section, std::string_view key,
                                       std::int32_t defaultValue) const {
    const auto value = IniDocument::Parse(LoadBytes()).Find(section, key);
    if (!value)
        return defaultValue;
    return ParseIniInteger(*value).value_or(defaultValue);
}

bool SettingsFile::ReadBool(std::string_view section, std::string_view key,
                            bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingsFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) const {
    std::string oneLine(value);
    for (char& c : oneLine)
        if (c == '\r' || c == '\n')
            c = ' ';
    IniDocument doc = IniDocument::Parse(LoadBytes());
    if (!state_->heldBecause.empty()) {
        ThrowIfHeld();
        return;
    }
    doc.Set(section, key, oneLine);
    try {
        WriteFileAtomically(path_, doc.Serialize());
    } catch (const FileError& error) {
        // A file made read-only while the program runs: told now, and left
        // alone from here on like one found so at start-up.
        if (error.Cause() == kCauseReadOnly) {
            Hold(error.Cause());
            state_->told = true;
        }
        throw;
    }
}

void SettingsFile::WriteInteger(std::string_view section, std::string_view key,
                                std::int32_t value) const {
    WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(std::string_view section, std::string_view key, bool value) const {
    WriteString(section, key, value ? "1" : "0");
}

} // namespace sonvela
