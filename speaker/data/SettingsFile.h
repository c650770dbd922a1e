// Access to the settings file setinfo.ini in the program folder.
//
// Every read and every write opens the file, acts and closes it; nothing is
// cached, so a value written by one window is seen by the next read anywhere.
// Values are GBK bytes, as in the file.
//
// The operator's settings are never lost to a failed read: a file that
// exists but cannot be read (no permission, a FIFO, a folder, a read error)
// gives the defaults and is never written over, and neither is a read-only
// file. Only a missing file starts from the defaults and is created. Copies
// of one SettingsFile share what they found out, so the fault is told once.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sonvela {

class SettingsFile {
public:
    // The settings file of a program folder: `folder` + "setinfo.ini".
    static SettingsFile InFolder(const std::string& folderWithSeparator);

    explicit SettingsFile(std::string path);

    const std::string& Path() const { return path_; }
    bool Exists() const;

    // Start-up's look at the file: removes what killed saves left beside it
    // and finds out whether the file can be read and written. Returns the
    // message for the operator (once: afterwards nothing) when it cannot.
    std::optional<std::string> CheckAtStartup() const;

    // At most 2047 bytes of the rest of the key's line after "=" (cut on a
    // character boundary); `defaultValue` when the key is missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // `defaultValue` when the key is missing, empty or not a whole number.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Each write replaces the whole file atomically (see WriteFileAtomically)
    // and throws FileError when the file cannot be written. A file held
    // because it could not be read, or found read-only, is not touched: the
    // first such write throws, later ones do nothing, since the operator
    // has been told. A line
    // break in a value would split the key's line in two, so each one is
    // written as a blank.
    void WriteString(std::string_view section, std::string_view key, std::string_view value) const;
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value) const;
    void WriteBool(std::string_view section, std::string_view key, bool value) const;

private:
    struct State;
    std::string LoadBytes() const;
    void Hold(const std::string& cause) const;
    void ThrowIfHeld() const;

    std::string path_;
    std::shared_ptr<State> state_;
};

} // namespace sonvela
