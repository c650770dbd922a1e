// Scores a reader (what the voice is given for a sentence) on the corpus: a
// sentence counts as read right only when the voice says exactly the
// expected reading, every syllable and every tone.
#pragma once

#include "AnnouncementCorpus.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace sonvela::frontend::corpus {

class VoicePhonemes;

struct Miss {
    CorpusLine line;
    std::string given;            // what the reader handed the voice
    std::string givenPhonemes;    // what the voice says for it
    std::string expectedPhonemes; // what it says for the expected reading
};

struct Tally {
    int right = 0;
    int total = 0;
    double Share() const { return total == 0 ? 0.0 : static_cast<double>(right) / total; }
};

struct CorpusScore {
    Tally overall;
    std::map<std::string, Tally> byKind;
    std::vector<Miss> misses;
};

using Reader = std::function<std::string(const std::string& sentence)>;

CorpusScore ScoreCorpus(const std::vector<CorpusLine>& lines, const Reader& reader,
                        VoicePhonemes& voice);

enum class ListMisses { No, Yes };

// The shares, overall and per class, then (when asked) every miss with both
// phoneme strings, for the log of a test run.
std::string DescribeScore(const CorpusScore& score, ListMisses list);

} // namespace sonvela::frontend::corpus
