// The music folder: which one the panel starts with, and the MP3 files it
// lists. Paths are UTF-8, as the file system spells them.
#pragma once

#include <string>
#include <vector>

namespace sonvela {

class SettingsFile;

// The stored folder when it exists, else "mp3files" in the program folder
// when that exists, else the program folder. Nothing is written back: a
// stored folder on a disk that is missing today is still there tomorrow.
std::string ChooseMusicFolder(const std::string& stored, const std::string& programFolder);

// "Mp3bj" of section "System" (GBK in the file; the program folder when
// missing), through ChooseMusicFolder.
std::string MusicFolderAtStartup(const SettingsFile& settings, const std::string& programFolder);

// Stores the folder the operator chose, in the file's code page.
void WriteMusicFolder(const SettingsFile& settings, const std::string& folder);

// The names of the ordinary files of `folder` ending in ".mp3" (in any
// case), sorted by name without regard to case. Hidden files (a leading
// dot), folders and anything that is not a regular file are left out. An
// unreadable or missing folder lists nothing.
std::vector<std::string> ListMusicFiles(const std::string& folder);

} // namespace sonvela
