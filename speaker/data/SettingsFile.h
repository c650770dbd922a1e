// Access to the settings file setinfo.ini in the program folder.
//
// Every read and every write opens the file, acts and closes it; nothing is
// cached, so a value written by one window is seen by the next read anywhere.
// Values are GBK bytes, as in the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sonvela {

class SettingsFile {
public:
    // The settings file of a program folder: `folder` + "setinfo.ini".
    static SettingsFile InFolder(const std::string& folderWithSeparator);

    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    bool Exists() const;

    // At most 2047 bytes of the rest of the key's line after "=" (cut on a
    // character boundary); `defaultValue` when the key is missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // `defaultValue` when the key is missing, empty or not a whole number.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Each write replaces the whole file atomically (see WriteFileAtomically)
    // and throws std::system_error when the file cannot be written. A line
    // break in a value would split the key's line in two, so each one is
    // written as a blank.
    void WriteString(std::string_view section, std::string_view key, std::string_view value) const;
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value) const;
    void WriteBool(std::string_view section, std::string_view key, bool value) const;

private:
    std::string path_;
};

} // namespace sonvela
