// Importing a Word document (.doc) as plain text, with a converter program
// in place of a word processor: antiword, or LibreOffice where antiword is
// missing or fails.
//
// The steps keep the order the program has always followed: the converter's
// text goes to a temporary file next to the document, in GBK; that file is
// loaded as a GBK text and then deleted. A file that already carries the
// temporary name is never touched: another name is taken.
#pragma once

#include <chrono>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace sonvela {

struct DocConverters {
    std::string antiword; // full path, empty when missing
    std::string soffice;  // LibreOffice's program, empty when missing
    std::chrono::seconds timeout{120};
};

// The converters found on PATH.
DocConverters FindDocConverters();

// The text of the document at `path` (UTF-8 path), line breaks as LF, or
// nothing when no converter is there or the conversion failed. A stop
// requested through `stop` ends the converter at once (nothing returned).
std::optional<std::u16string> ImportDoc(const std::string& path, const DocConverters& converters,
                                        std::stop_token stop = {});

// The temporary file for `documentPath`: the document's name with ".rtf" in
// place of its extension, or, when that name is taken, the first free one of
// "name~1.rtf", "name~2.rtf", ... The file is created empty (exclusively, so
// no other file is ever opened in its place) and its path returned; nothing
// when the folder does not allow it.
std::optional<std::string> ClaimTemporaryName(const std::string& documentPath);

// Runs a program (no shell) with stdin and stderr on /dev/null, returning
// its standard output when it exits with status 0 within `timeout`. On the
// timeout or a stop request the program and every process it started are
// killed.
std::optional<std::string> RunForOutput(const std::vector<std::string>& argv,
                                        std::chrono::seconds timeout, std::stop_token stop = {});

} // namespace sonvela
