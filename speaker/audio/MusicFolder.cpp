#include "MusicFolder.h"

#include "GbkText.h"
#include "SettingsFile.h"
#include "SettingsKeys.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace sonvela {
namespace {

namespace fs = std::filesystem;

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(fs::path(path), error);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::string ChooseMusicFolder(const std::string& stored, const std::string& programFolder) {
    if (IsFolder(stored)) {
        return stored;
    }
    const std::string fallback = (fs::path(programFolder) / "mp3files").string();
    if (IsFolder(fallback)) {
        return fallback;
    }
    return programFolder;
}

std::string MusicFolderAtStartup(const SettingsFile& settings, const std::string& programFolder) {
    namespace sys = settings::System;
    const std::string stored =
        GbkToUtf8(settings.ReadString(sys::kSection, sys::Mp3bj, Utf8ToGbk(programFolder)));
    return ChooseMusicFolder(stored, programFolder);
}

void WriteMusicFolder(const SettingsFile& settings, const std::string& folder) {
    namespace sys = settings::System;
    settings.WriteString(sys::kSection, sys::Mp3bj, Utf8ToGbk(folder));
}

std::vector<std::string> ListMusicFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entries(fs::path(folder), error);
    if (error) {
        return names;
    }
    for (const fs::directory_entry& entry : entries) {
        std::error_code statError;
        if (!entry.is_regular_file(statError)) {
            continue;
        }
        std::string name = entry.path().filename().string();
        if (name.empty() || name.front() == '.' || name.size() < 5 ||
            Lower(name.substr(name.size() - 4)) != ".mp3") {
            continue;
        }
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a);
        const std::string lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

} // namespace sonvela
