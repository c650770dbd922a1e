// Where the announcement log is kept: in the user's data folder, not the
// program folder, which an installation for all users may not let him
// write to.
#pragma once

#include <filesystem>

namespace sonvela {

// $XDG_DATA_HOME/Sonvela/announcements.log, else under ~/.local/share. The
// folder is not created here: the log's writer creates it.
std::filesystem::path AnnouncementLogFile();

} // namespace sonvela
