#include "PronunciationList.h"

#include "FrontEnd.h"

#include <gtest/gtest.h>

using namespace sonvela::frontend;

TEST(PronunciationList, RecognisesNumberedPinyin) {
    EXPECT_TRUE(IsNumberedPinyin("chong2 qing4"));
    EXPECT_TRUE(IsNumberedPinyin("nv3"));
    EXPECT_TRUE(IsNumberedPinyin("lu:4 se4"));
    EXPECT_TRUE(IsNumberedPinyin("  de5 "));
    EXPECT_FALSE(IsNumberedPinyin(""));
    EXPECT_FALSE(IsNumberedPinyin("chong qing"));
    EXPECT_FALSE(IsNumberedPinyin("重庆"));
    EXPECT_FALSE(IsNumberedPinyin("abc6"));
    EXPECT_FALSE(IsNumberedPinyin("K T V"));
    EXPECT_FALSE(IsNumberedPinyin("3"));
}

TEST(PronunciationList, UmlautUIsSpelledAsTheVoiceReadsIt) {
    EXPECT_TRUE(IsNumberedPinyin("lü4 se4"));
    const PronunciationList list({{"绿色", "lu:4 se4"}, {"女", "nü3"}, {"吕", "Lv3"}});
    EXPECT_EQ(JoinPieces(list.Apply({{"绿色女吕", false}})), "lv4 se4 nv3 Lv3");
}

TEST(PronunciationList, LongestWordWinsAndPinyinIsFinal) {
    const PronunciationList list({{"银行", "yin2 hang2"},
                                  {"银行行长", "yin2 hang2 hang2 zhang3"},
                                  {"KTV", "卡拉OK"},
                                  {"", "ignored"}});
    ASSERT_EQ(list.Entries().size(), 3u);
    const Pieces out = list.Apply({{"去银行行长家，再去银行和KTV", false}});
    const Pieces expected{{"去", false},
                          {"yin2 hang2 hang2 zhang3", true},
                          {"家，再去", false},
                          {"yin2 hang2", true},
                          {"和卡拉OK", false}};
    EXPECT_EQ(out, expected);
}

TEST(PronunciationList, FinalPiecesAreLeftAlone) {
    const PronunciationList list(std::vector<Pronunciation>{{"行", "xing2"}});
    const Pieces out = list.Apply({{"行", true}, {"行", false}});
    EXPECT_EQ(out, (Pieces{{"行", true}, {"xing2", true}}));
}

TEST(PronunciationList, JoinKeepsPinyinSyllablesApart) {
    EXPECT_EQ(JoinPieces({{"yin2 hang2", true}, {"hang2 zhang3", true}, {"好", false}}),
              "yin2 hang2 hang2 zhang3好");
    EXPECT_EQ(JoinPieces({{"A", false}, {"ling2", true}, {"，", false}}), "A ling2，");
}

TEST(FrontEnd, ShortCapitalRunsAreSpelledOut) {
    const FrontEnd frontEnd;
    for (const Dialect dialect : {Dialect::Mandarin, Dialect::Cantonese}) {
        EXPECT_EQ(frontEnd.Prepare("VIP", dialect), "V I P");
        EXPECT_EQ(frontEnd.Prepare("ATM机", dialect).substr(0, 5), "A T M");
        EXPECT_EQ(frontEnd.Prepare("HELLO", dialect), "HELLO");
        EXPECT_EQ(frontEnd.Prepare("iPhone", dialect), "iPhone");
        EXPECT_EQ(frontEnd.Prepare("A", dialect), "A");
    }
    // A flight code: the letters spelled, the digits one by one.
    EXPECT_TRUE(frontEnd.Prepare("MU5137", Dialect::Mandarin).starts_with("M U"));
}

TEST(FrontEnd, OperatorListComesFirstAndCanBeReplacedWhileInUse) {
    FrontEnd frontEnd;
    const auto before = frontEnd.Pronunciations();
    frontEnd.SetPronunciations(PronunciationList({{"重庆", "chong2 qing4"}, {"KTV", "卡拉OK"}}));
    EXPECT_TRUE(before->empty());
    // The replacement text is still open to the later stages: 卡拉 is pinned.
    EXPECT_EQ(frontEnd.Prepare("到重庆KTV", Dialect::Mandarin), "到chong2 qing4 ka3 la1 O K");
    // Pinyin is for the Mandarin voice; replacement text serves both.
    EXPECT_EQ(frontEnd.Prepare("到重庆KTV", Dialect::Cantonese), "到重庆卡拉O K");
}
