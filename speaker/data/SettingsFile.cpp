#include "SettingsFile.h"

#include "AtomicFile.h"
#include "GbkText.h"
#include "IniDocument.h"
#include "SettingValues.h"

#include <sys/stat.h>

namespace sonvela {
namespace {

constexpr std::size_t kMaxStringBytes = 2047;

IniDocument LoadDocument(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    return IniDocument::Parse(bytes ? *bytes : std::string());
}

} // namespace

SettingsFile SettingsFile::InFolder(const std::string& folderWithSeparator) {
    return SettingsFile(folderWithSeparator + "setinfo.ini");
}

bool SettingsFile::Exists() const {
    struct stat st {};
    return ::stat(path_.c_str(), &st) == 0;
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    const auto value = LoadDocument(path_).Find(section, key);
    if (!value)
        return std::string(defaultValue);
    return value->substr(0, GbkWholeCharPrefix(*value, kMaxStringBytes));
}

std::int32_t SettingsFile::ReadInteger(std::string_view section, std::string_view key,
                                       std::int32_t defaultValue) const {
    const auto value = LoadDocument(path_).Find(section, key);
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
    IniDocument doc = LoadDocument(path_);
    doc.Set(section, key, oneLine);
    WriteFileAtomically(path_, doc.Serialize());
}

void SettingsFile::WriteInteger(std::string_view section, std::string_view key,
                                std::int32_t value) const {
    WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(std::string_view section, std::string_view key, bool value) const {
    WriteString(section, key, value ? "1" : "0");
}

} // namespace sonvela
