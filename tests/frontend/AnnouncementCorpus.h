// The announcement corpus: sentences an operator types, each with the full
// numbered-pinyin reading a careful announcer gives it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sonvela::frontend::corpus {

struct CorpusLine {
    int lineNumber = 0;
    std::string kind;     // price, number, date, ...
    std::string sentence; // as typed
    std::string reading;  // numbered pinyin
};

struct Corpus {
    std::vector<CorpusLine> lines;
    // Lines that are neither comments, blank nor three tab-separated fields;
    // reported rather than skipped so a broken line never drops silently.
    std::vector<std::string> malformed;
};

// Throws std::runtime_error when the file cannot be read.
Corpus LoadCorpus(const std::filesystem::path& path);

// The syllables of a reading with the commas that mark pauses dropped.
std::vector<std::string> ReadingSyllables(const std::string& reading);

// Whether `syllable` is one numbered-pinyin syllable ("hang2", "lü4", "de5")
// or one capital Latin letter ("A"), the only words a reading may hold.
bool IsReadingWord(const std::string& syllable);

} // namespace sonvela::frontend::corpus
