// What the listeners hear from the program's own words: the time
// announcement and the date placeholder, and every text that reaches a voice
// through the front-end voice.
#include "DatePlaceholder.h"
#include "FrontEnd.h"
#include "FrontEndVoice.h"
#include "GbkText.h"
#include "TestSpeechVoice.h"
#include "TimeAnnouncement.h"

#include <gtest/gtest.h>

using namespace sonvela;
using namespace sonvela::frontend;

namespace {

std::string Mandarin(const std::string& utf8) {
    return FrontEnd().Prepare(utf8, Dialect::Mandarin);
}

std::string DatePlaceholderSpoken(int type) {
    // Monday 7 April 2014, 09:05:03.
    const LocalClock clock = [] { return LocalDateTime{2014, 4, 7, 9, 5, 3, 1}; };
    const GbkString segment = ExpandDatePlaceholder(Utf8ToGbk("%Date%"), type, clock);
    return Mandarin(GbkToUtf8(segment));
}

} // namespace

// The words of a time, after whatever the front-end made of 现在是北京时间
// (its polyphone stage may pin those words as pinyin).
std::string TimeWords(const std::string& hoursAndMinutes) {
    const std::string spoken = Mandarin(AnnouncementWords(hoursAndMinutes));
    const std::string lead = Mandarin("现在是北京时间");
    EXPECT_TRUE(spoken.starts_with(lead)) << spoken;
    return spoken.substr(std::min(lead.size(), spoken.size()));
}

TEST(SpokenWords, TheTimeAnnouncementSaysTheTimeAsWords) {
    EXPECT_EQ(TimeWords("13:00"), "十三点整");
    EXPECT_EQ(TimeWords("08:30"), "八点三十分");
    // Midnight: 零点 is pinned as pinyin (点 after 零 would otherwise be
    // read as in 零点 "zero point").
    EXPECT_EQ(TimeWords("00:00"), " ling2 dian3整");
    EXPECT_EQ(TimeWords("00:30"), " ling2 dian3三十分");
}

TEST(SpokenWords, TheDatePlaceholderIsSpokenAsWordsInEveryFormat) {
    EXPECT_EQ(DatePlaceholderSpoken(1), "二零一四年四月七日");
    EXPECT_EQ(DatePlaceholderSpoken(2), "九点零五分零三秒");
    EXPECT_EQ(DatePlaceholderSpoken(3), "九点零五分");
    EXPECT_EQ(DatePlaceholderSpoken(4), "四月七日");
    EXPECT_EQ(DatePlaceholderSpoken(5), "二零一四年四月七日 九点零五分");
    // 一 in a weekday name keeps its first tone.
    EXPECT_EQ(DatePlaceholderSpoken(6), "zhou1 yi1");
    EXPECT_EQ(DatePlaceholderSpoken(7), "四月");
    EXPECT_EQ(DatePlaceholderSpoken(8), "二零一四年四月七日 xing1 qi1 yi1");
}

TEST(FrontEndVoice, EveryTextPassesTheFrontEndOfTheChosenVoice) {
    TestSpeechVoice engine(std::chrono::microseconds(1),
                           {{"sit/cmn-Latn-pinyin", "Chinese Mandarin", "cmn-latn-pinyin"},
                            {"sit/yue", "Chinese Cantonese", "yue"},
                            {"gmw/en", "English", "en"}});
    FrontEnd frontEnd;
    frontEnd.SetPronunciations(PronunciationList({{"行长", "hang2 zhang3"}, {"KTV", "卡拉OK"}}));
    FrontEndVoice voice(engine, frontEnd);
    const std::u16string text = u"行长在KTV";

    voice.SetVoice(0);
    voice.SpeakPurgeAndWait(text);
    voice.SetVoice(1);
    voice.SpeakPurgeAndWait(text);
    voice.SetVoice(2);
    voice.SpeakPurgeAndWait(text);
    voice.SetVoice(0);
    voice.SpeakAsync(text);

    std::vector<std::string> heard;
    for (const auto& call : engine.Calls())
        if (call.kind == TestSpeechVoice::CallKind::SpeakPurgeAndWait ||
            call.kind == TestSpeechVoice::CallKind::SpeakAsync)
            heard.push_back(GbkToUtf8(call.text));
    // The replacement text goes on through the front-end (卡拉 is pinned);
    // the Cantonese and English voices get no pinyin.
    const std::vector<std::string> expected{"hang2 zhang3在ka3 la1 O K", "行长在卡拉O K",
                                            "行长在卡拉OK", "hang2 zhang3在ka3 la1 O K"};
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(engine.CurrentVoice(), 0);
}
