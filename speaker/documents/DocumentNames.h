// The rules that decide, from a file's name, how it is opened and under what
// name it is saved. Paths are UTF-8, as the file system gives them.
#pragma once

#include <string>
#include <string_view>

namespace sonvela {

enum class DocumentKind { Text, Word, Other };

// The open command's rule: the extension, from the last "." of the file name,
// is ".txt" in any case for a text; anything else is taken for a Word
// document and imported.
DocumentKind KindForOpen(std::string_view path);

// The history's rule: the last four bytes of the path, in any case, are
// ".txt" or ".doc"; any other ending opens nothing.
DocumentKind KindForHistory(std::string_view path);

// True when the path's last four bytes are ".doc" in any case. Such a file
// is never overwritten with plain text.
bool IsWordDocument(std::string_view path);

// The name an untitled text is saved under: the chosen name with ".txt"
// added, unless it already ends in ".txt" in any case.
std::string UntitledSaveName(std::string_view chosen);

// The name proposed when a Word document's text is saved: the document's
// name with its extension replaced by ".txt".
std::string TextNameForDocument(std::string_view documentPath);

} // namespace sonvela
