// One file of an installation as the installer carries it.
#pragma once

#include <string_view>

namespace sonvela {

struct InstallFile {
    // The name the file is carried under ("bass_dll", "speaker_exe", ...).
    std::string_view resourceName;
    // Where it goes, below the installation folder, with "/" between folders.
    std::string_view relativePath;
    // The file's bytes, written unchanged.
    std::string_view bytes;
    // Gets the executable bits, so the installed program can be started.
    bool executable = false;
    // An existing file of this name is the operator's data: it is kept
    // beside the new one as "<name>.bak" before being replaced.
    bool keepBackup = false;
};

} // namespace sonvela
