// The recovery file: when the desktop session ends while the editor holds
// unsaved changes, the text is kept in the program folder and offered again
// at the next start as an untitled, modified text.
#pragma once

#include "GbkText.h"

#include <optional>
#include <string>

namespace sonvela {

// The file's path in a program folder (ending in the separator).
std::string RecoveryFilePath(const std::string& programFolder);
// Writes the text (GBK) safely: the old file or the new, never half of one.
void WriteRecoveryFile(const std::string& programFolder, const GbkString& text);
// The kept text, and the file removed; nothing when there is none. A file
// that cannot be removed is still offered (it is offered again next time
// rather than lost).
std::optional<GbkString> TakeRecoveryFile(const std::string& programFolder);

} // namespace sonvela
