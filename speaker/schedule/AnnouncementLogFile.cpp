#include "AnnouncementLogFile.h"

#include <cstdlib>

namespace sonvela {

std::filesystem::path AnnouncementLogFile() {
    std::filesystem::path data;
    // By the XDG base directory rules, a relative XDG_DATA_HOME is invalid
    // and ignored.
    if (const char* home = std::getenv("XDG_DATA_HOME"); home && home[0] == '/')
        data = home;
    else if (const char* user = std::getenv("HOME"); user && user[0] != '\0')
        data = std::filesystem::path(user) / ".local" / "share";
    else
        data = std::filesystem::temp_directory_path();
    return data / "Sonvela" / "announcements.log";
}

} // namespace sonvela
