// Writing an installation's files into its folder.
#pragma once

#include "InstallFile.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sonvela {

// The installation folder the operator means by the text of the path field:
// trimmed of blanks and control characters; "~" and "~/..." are the home
// folder; a relative path is taken below the home folder. Nothing when the
// trimmed text is empty.
std::optional<std::filesystem::path> InstallFolderFromText(std::string_view text,
                                                           const std::filesystem::path& home);

// Whether the folder already holds an installation ("speaker.exe" exists).
bool InstallationExists(const std::filesystem::path& folder);

// Where a failed installation stopped: the folder or file and the system's
// text for the fault.
struct InstallFault {
    enum class Kind { Folder, File };
    Kind kind = Kind::File;
    std::filesystem::path path;
    std::string systemText;
};

// The operator's message for a fault (UTF-8).
std::string InstallFaultMessage(const InstallFault& fault);

// Creates `folder` with every missing parent and its "books" subfolder, then
// writes `files` in their order, each replacing any file of the same name
// in one step (a crash leaves the old file or the new one, never part of
// one). Stops at the first folder or file that fails and returns it; what
// was written before stays. Nothing is returned when every file was written.
std::optional<InstallFault> WriteInstallFiles(const std::filesystem::path& folder,
                                              std::span<const InstallFile> files);

} // namespace sonvela
