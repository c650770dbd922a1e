// The recovery file: while the editor holds unsaved changes, the text is
// kept in the program folder (a few seconds after each edit, and at the end
// of the desktop session) and offered again at the next start as an
// untitled, modified text. It is removed only once the text is saved or the
// operator drops it, so a second crash before saving still keeps it.
#pragma once

#include "GbkText.h"

#include <optional>
#include <string>

namespace sonvela {

// The file's path in a program folder (ending in the separator).
std::string RecoveryFilePath(const std::string& programFolder);
// Writes the text (GBK) safely: the old file or the new, never half of one.
void WriteRecoveryFile(const std::string& programFolder, const GbkString& text);
// The kept text; nothing when there is none. The file stays.
std::optional<GbkString> ReadRecoveryFile(const std::string& programFolder);
// Removes the file; a missing file is no fault.
void RemoveRecoveryFile(const std::string& programFolder);

} // namespace sonvela
