// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include <optional>
#include <string>

namespace sonvela {

// The bytes of a regular file. A FIFO, a device or a folder is refused at
// once (the file is opened without blocking and looked at before anything
// is read), so a wrong name never freezes the program. Throws FileError.
std::string ReadRegularFile(const std::string& path);

// As ReadRegularFile, with nothing instead of the error.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file's content so that a crash or a power cut at any moment
// leaves either the old or the new file, never part of one, and keeps the
// file what it was:
// - a symbolic link is followed and its target written; the link stays;
// - the bytes go to a temporary file beside the target that carries the
//   target's mode, owner, group and extended attributes (its ACL) and is
//   renamed over it once it is on the disk;
// - where a rename would change the file itself (more than one hard link, a
//   folder we may not write, an owner or ACL we cannot give a new file), the
//   old content is copied aside first and the file is written in place; a
//   failed write puts the old content back;
// - a read-only file, a folder or any other non-regular file is refused.
// Temporary files left by earlier saves that were killed are removed first.
// Throws FileError when the write fails; the target is then left as it was.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

// Removes what killed saves of `path` left beside it. A save still running
// in another process holds a lock on its temporary file and is left alone.
void RemoveSaveLeftovers(const std::string& path);

// Whether `name` (a file name without folder) is a temporary file of a save.
bool IsSaveTemporaryName(const std::string& name);

} // namespace sonvela
