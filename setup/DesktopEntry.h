// The installation's shortcuts: freedesktop ".desktop" entries that start
// "speaker.exe" from the installation folder, one on the desktop and one in
// the applications menu.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sonvela {

// The file name of both entries.
inline constexpr const char* kDesktopEntryName = "Sonvela.desktop";

struct ShortcutFolders {
    std::filesystem::path desktop;
    std::filesystem::path applications;
};

// The operator's desktop folder (what "xdg-user-dir DESKTOP" says, else
// "~/Desktop") and the applications menu folder: for everyone when
// `systemWide` (the first folder of $XDG_DATA_DIRS, else /usr/share), else
// the operator's own ($XDG_DATA_HOME, else ~/.local/share), each followed by
// "applications".
ShortcutFolders LocateShortcutFolders(bool systemWide);

// Whether the installer runs with the rights to write the menu for everyone.
bool RunsAsRoot();

// The text of the entry that starts `installFolder`/speaker.exe with
// `installFolder` as its working folder.
std::string DesktopEntryText(const std::filesystem::path& installFolder);

// Writes the entry into the desktop folder and, when `startMenu`, into the
// applications folder (creating a missing folder). An entry that cannot be
// written is skipped without a word, as a shortcut is a convenience and the
// installation is complete without it. Returns the entries written.
std::vector<std::filesystem::path> WriteDesktopEntries(const std::filesystem::path& installFolder,
                                                       const ShortcutFolders& folders,
                                                       bool startMenu);

} // namespace sonvela
