#include "AnnouncementCorpus.h"

#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

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
    // An initial and a final of standard pinyin, then the tone: a slipped
    // key ("zhaung3", "shii4") fails here, where the voice would quietly read
    // something. ü is two UTF-8 bytes, hence the groups.
    static const std::regex pinyin("(?:zh|ch|sh|[bpmfdtnlgkhjqxrzcsyw])?"
                                   "(?:a|o|e|ai|ei|ao|ou|an|en|ang|eng|ong|er|"
                                   "i|ia|ie|iao|iu|ian|in|iang|ing|iong|"
                                   "u|ua|uo|uai|ui|uan|un|uang|ue|"
                                   "ü|üe|üan|ün)[1-5]");
    static const std::regex letter("[A-Z]");
    return std::regex_match(syllable, pinyin) || std::regex_match(syllable, letter);
}

} // namespace sonvela::frontend::corpus
