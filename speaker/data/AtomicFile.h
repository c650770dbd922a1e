// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include <optional>
#include <string>

namespace sonvela {

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file's content so that a crash or a power cut at any moment
// leaves either the old or the new file, never part of one: the bytes go to a
// temporary file in the same folder, which is flushed to the disk and renamed
// over the target. An existing target keeps its permission bits. Throws
// std::system_error, naming the file, when the write fails; the target is
// then left as it was.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

} // namespace sonvela
