#include "CorpusScore.h"

#include "VoicePhonemes.h"

#include <algorithm>
#include <cstdio>

namespace sonvela::frontend::corpus {

namespace {

std::string Percent(const Tally& tally) {
    char text[64];
    std::snprintf(text, sizeof text, "%5.1f %% (%d/%d)", 100.0 * tally.Share(), tally.right,
                  tally.total);
    return text;
}

} // namespace

CorpusScore ScoreCorpus(const std::vector<CorpusLine>& lines, const Reader& reader,
                        VoicePhonemes& voice) {
    CorpusScore score;
    for (const CorpusLine& line : lines) {
        std::string given = reader(line.sentence);
        std::string givenPhonemes = voice.Of(given);
        std::string expectedPhonemes = voice.Of(line.reading);
        const bool right = givenPhonemes == expectedPhonemes;
        for (Tally* tally : {&score.overall, &score.byKind[line.kind]}) {
            ++tally->total;
            if (right)
                ++tally->right;
        }
        if (!right) {
            score.misses.push_back(
                {line, std::move(given), std::move(givenPhonemes), std::move(expectedPhonemes)});
        }
    }
    return score;
}

std::string DescribeScore(const CorpusScore& score, ListMisses list) {
    std::string text = "read entirely right: " + Percent(score.overall) + "\n";
    for (const auto& [kind, tally] : score.byKind)
        text += "  " + kind + std::string(12 - std::min<std::size_t>(kind.size(), 11), ' ') +
                Percent(tally) + "\n";
    if (list == ListMisses::No)
        return text;
    for (const Miss& miss : score.misses) {
        text += "miss, line " + std::to_string(miss.line.lineNumber) + " [" + miss.line.kind +
                "] " + miss.line.sentence + "\n";
        text += "  given:    " + miss.given + "\n";
        text += "  expected: " + miss.line.reading + "\n";
        text += "  voice says " + miss.givenPhonemes + "\n";
        text += "  should be  " + miss.expectedPhonemes + "\n";
    }
    return text;
}

} // namespace sonvela::frontend::corpus
