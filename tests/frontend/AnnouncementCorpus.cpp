#include "AnnouncementCorpus.h"

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace sonvela::frontend::corpus {

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

} // namespace

Corpus LoadCorpus(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    Corpus corpus;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        auto fields = SplitTabs(line);
        if (fields.size() != 3 || fields[0].empty() || fields[1].empty() || fields[2].empty()) {
            corpus.malformed.push_back(std::to_string(number) + ": " + line);
            continue;
        }
        corpus.lines.push_back(
            {number, std::move(fields[0]), std::move(fields[1]), std::move(fields[2])});
    }
    return corpus;
}

std::vector<std::string> ReadingSyllables(const std::string& reading) {
    std::string spaced = reading;
    for (char& c : spaced) {
        if (c == ',')
            c = ' ';
    }
    std::istringstream words(spaced);
    std::vector<std::string> syllables;
    for (std::string word; words >> word;)
        syllables.push_back(word);
    return syllables;
}

bool IsReadingWord(const std::string& syllable) {
    if (syllable.size() == 1)
        return syllable[0] >= 'A' && syllable[0] <= 'Z';
    // An initial and a final of standard pinyin, then the tone: a slipped
    // key ("zhaung3", "shii4") fails here, where the voice would quietly read
    // something.
    static const std::set<std::string, std::less<>> initials = {
        "",  "b", "p", "m", "f", "d", "t", "n", "l", "g",  "k",  "h",
        "j", "q", "x", "r", "z", "c", "s", "y", "w", "zh", "ch", "sh"};
    static const std::set<std::string, std::less<>> finals = {
        "a",  "o",  "e",   "ai", "ei",  "ao", "ou",   "an", "en",   "ang", "eng",  "ong",
        "er", "i",  "ia",  "ie", "iao", "iu", "ian",  "in", "iang", "ing", "iong", "u",
        "ua", "uo", "uai", "ui", "uan", "un", "uang", "ue", "ü",    "üe",  "üan",  "ün"};
    const char tone = syllable.back();
    if (tone < '1' || tone > '5')
        return false;
    const std::string_view letters(syllable.data(), syllable.size() - 1);
    for (const std::string& initial : initials) {
        if (letters.starts_with(initial) && finals.contains(letters.substr(initial.size())))
            return true;
    }
    return false;
}

} // namespace sonvela::frontend::corpus
