// The installation the installer carries: the files of the staged program
// folder, linked into the program at build time, in the order they are
// written.
#pragma once

#include "InstallFile.h"

#include <span>

namespace sonvela {

std::span<const InstallFile> EmbeddedInstallFiles();

} // namespace sonvela
