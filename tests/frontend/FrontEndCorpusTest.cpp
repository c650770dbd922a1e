// Scores the Mandarin front-end on the announcement corpus through the
// voice's own phonemiser: a sentence counts only when the voice would say
// every syllable and tone of the expected reading.
#include "AnnouncementCorpus.h"
#include "CorpusScore.h"
#include "FrontEnd.h"
#include "VoicePhonemes.h"

#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <set>

using namespace sonvela::frontend;
using namespace sonvela::frontend::corpus;

namespace {

const Corpus& Announcements() {
    static const Corpus corpus =
        LoadCorpus(SONVELA_SOURCE_DIR "/tests/frontend/corpus/announcements.tsv");
    return corpus;
}

// Sentences nobody tuned the front-end against: its share there is what a
// new announcement can expect, so fixes found through it must be general
// ones, never entries for these very sentences.
const Corpus& HeldOut() {
    static const Corpus corpus =
        LoadCorpus(SONVELA_SOURCE_DIR "/tests/frontend/corpus/heldout.tsv");
    return corpus;
}

const std::set<std::string> kKinds = {"price", "number",  "date", "time",      "phone", "code",
                                      "range", "ordinal", "unit", "polyphone", "tone"};

void ExpectWellFormed(const Corpus& corpus, std::size_t minimumLines, int minimumPerKind) {
    for (const std::string& line : corpus.malformed)
        ADD_FAILURE() << "not class<TAB>sentence<TAB>reading: line " << line;
    EXPECT_GE(corpus.lines.size(), minimumLines);

    std::map<std::string, int> perKind;
    std::set<std::string> sentences;
    for (const CorpusLine& line : corpus.lines) {
        EXPECT_TRUE(kKinds.contains(line.kind))
            << "line " << line.lineNumber << ": unknown class " << line.kind;
        EXPECT_TRUE(sentences.insert(line.sentence).second)
            << "line " << line.lineNumber << ": sentence given twice";
        ++perKind[line.kind];
        for (const std::string& syllable : ReadingSyllables(line.reading)) {
            EXPECT_TRUE(IsReadingWord(syllable))
                << "line " << line.lineNumber << ": \"" << syllable << "\" in " << line.reading;
        }
    }
    for (const std::string& kind : kKinds)
        EXPECT_GE(perKind[kind], minimumPerKind) << kind;
}

CorpusScore ScoreFrontEnd(const Corpus& corpus) {
    const FrontEnd frontEnd;
    return ScoreCorpus(
        corpus.lines,
        [&](const std::string& sentence) { return frontEnd.Prepare(sentence, Dialect::Mandarin); },
        VoicePhonemes::Mandarin());
}

} // namespace

TEST(AnnouncementCorpus, HoldsEnoughWellFormedSentencesOfEveryKind) {
    ExpectWellFormed(Announcements(), 160, 12);
}

TEST(AnnouncementCorpus, HeldOutSetIsWellFormedAndSharesNoSentenceWithTheTunedOne) {
    ExpectWellFormed(HeldOut(), 80, 6);
    std::set<std::string> tuned;
    for (const CorpusLine& line : Announcements().lines)
        tuned.insert(line.sentence);
    for (const CorpusLine& line : HeldOut().lines) {
        EXPECT_FALSE(tuned.contains(line.sentence))
            << "line " << line.lineNumber << " of the held-out set is in the tuned corpus";
    }
}

TEST(AnnouncementCorpus, TellsSlippedSyllablesFromPinyin) {
    for (const char* word : {"hang2", "zhuang1", "lü4", "nüe4", "er4", "de5", "A", "G"})
        EXPECT_TRUE(IsReadingWord(word)) << word;
    for (const char* word : {"zhaung3", "shii4", "hang", "hang6", "Hang2", "CA", "yin2,", "二"})
        EXPECT_FALSE(IsReadingWord(word)) << word;
}

TEST(CorpusScorer, HearsTonesAndSyllablesButNotPunctuationPauses) {
    VoicePhonemes& voice = VoicePhonemes::Mandarin();
    // Clause breaks and the long pauses of dashes and brackets only.
    EXPECT_EQ(voice.Of("yin2 hang2，hang2 zhang3。"), voice.Of("yin2 hang2 hang2 zhang3"));
    EXPECT_EQ(voice.Of("三——二（一）"), voice.Of("三二一"));
    // Characters the voice reads right sound exactly as their pinyin.
    EXPECT_EQ(voice.Of("现在是北京时间"), voice.Of("xian4 zai4 shi4 bei3 jing1 shi2 jian1"));
    // A neutral tone, a changed tone and a wrong syllable all count.
    EXPECT_NE(voice.Of("dong1 xi5"), voice.Of("dong1 xi1"));
    EXPECT_NE(voice.Of("yi1 ding4"), voice.Of("yi2 ding4"));
    EXPECT_NE(voice.Of("银行"), voice.Of("yin2 hang2"));
}

TEST(CorpusScorer, GivesTheExpectedReadingsFullMarksAndTheRawTextFarLess) {
    const Corpus& corpus = Announcements();
    VoicePhonemes& voice = VoicePhonemes::Mandarin();

    std::map<std::string, std::string> readings;
    for (const CorpusLine& line : corpus.lines)
        readings[line.sentence] = line.reading;
    const CorpusScore exact = ScoreCorpus(
        corpus.lines, [&](const std::string& sentence) { return readings.at(sentence); }, voice);
    EXPECT_EQ(exact.overall.right, exact.overall.total) << DescribeScore(exact, ListMisses::Yes);

    const CorpusScore raw = ScoreCorpus(
        corpus.lines, [](const std::string& sentence) { return sentence; }, voice);
    std::cout << "The voice alone on the raw text\n" << DescribeScore(raw, ListMisses::No);
    EXPECT_LT(raw.overall.Share(), 0.6);
}

TEST(FrontEndCorpus, ReadsNearlyEveryAnnouncementEntirelyRight) {
    const CorpusScore score = ScoreFrontEnd(Announcements());
    std::cout << "The Mandarin front-end\n" << DescribeScore(score, ListMisses::Yes);
    EXPECT_GE(score.overall.Share(), 0.97);
}

TEST(FrontEndCorpus, ReadsSentencesItWasNeverTunedOnAlmostAsWell) {
    const CorpusScore score = ScoreFrontEnd(HeldOut());
    std::cout << "The Mandarin front-end on the held-out sentences\n"
              << DescribeScore(score, ListMisses::Yes);
    // Measured when the set was written: 95.4 % (125/131). The floor sits
    // lower than on the tuned corpus because a held-out miss shows a gap in
    // general coverage, which the tuned share cannot.
    EXPECT_GE(score.overall.Share(), 0.90);
}
