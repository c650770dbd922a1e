// A draft read by a reader of its own, away from the editor: the same
// segments, date placeholder and pauses as a reading of the editor.
#include "DraftTextPort.h"

#include "ReaderTestSupport.h"
#include "TestSpeechVoice.h"
#include "Tts.h"

#include <gtest/gtest.h>

using namespace sonvela;
using namespace std::chrono_literals;
using sonvela::testing::G;

namespace {

struct DraftReading {
    explicit DraftReading(GbkString text, GbkString traditional = {})
        : port(std::move(text), std::move(traditional),
               [this](std::string fault) { faults.push_back(std::move(fault)); }),
          host(state, voice, port, [] { return sonvela::testing::SampleMoment(); }) {
        getdelaystring(state, sonvela::testing::QuickDelayTable());
    }

    std::vector<std::string> faults;
    ReadingState state;
    TestSpeechVoice voice;
    DraftTextPort port;
    ReaderHost host;
};

} // namespace

TEST(DraftTextPort, ADraftIsReadSegmentBySegmentWithTheDateFilledIn) {
    DraftReading reading(G("各位顾客早上好，今天是%Date%。欢迎光临！"));
    reading.state.datetimetype = 8;
    reading.host.gundong1({1, false});
    ASSERT_TRUE(reading.host.WaitUntilIdle(10s));
    EXPECT_EQ(reading.voice.SpokenTexts(),
              (std::vector<GbkString>{G("各位顾客早上好，"), G("今天是2014年04月07日 星期一。"),
                                      G("欢迎光临！")}));
    EXPECT_EQ(reading.voice.CurrentVoice(), 1);
    EXPECT_FALSE(reading.state.isreading.load());
    EXPECT_FALSE(reading.state.readfailed.load());
    EXPECT_TRUE(reading.faults.empty());
}

TEST(DraftTextPort, ACantoneseVoiceReadsTheTraditionalCopyAndABlankDraftStartsNothing) {
    DraftReading reading(G("欢迎光临。再见"), G("歡迎光臨。再見"));
    reading.host.gundong1({0, true});
    ASSERT_TRUE(reading.host.WaitUntilIdle(10s));
    EXPECT_EQ(reading.voice.SpokenTexts(), (std::vector<GbkString>{G("歡迎光臨。"), G("再見")}));

    DraftReading blank(G("  \r\n "));
    blank.host.gundong1({0, false});
    EXPECT_FALSE(blank.state.isreading.load());
    EXPECT_EQ(blank.host.ThreadCount(), 0u);
}

TEST(DraftTextPort, AFaultOfTheVoiceIsReportedThroughThePortAndEndsTheReading) {
    DraftReading reading(G("第一句。第二句。"));
    reading.voice.FailSpeakNumber(2);
    reading.host.gundong1({0, false});
    ASSERT_TRUE(reading.host.WaitUntilIdle(10s));
    EXPECT_TRUE(reading.state.readfailed.load());
    EXPECT_EQ(reading.faults.size(), 1u);
}

TEST(DraftTextPort, SelectionsAndWindowsStayInsideTheText) {
    DraftTextPort port(G("甲乙丙"), {}, nullptr);
    EXPECT_EQ(port.TextWindow(2, 100), G("乙丙"));
    EXPECT_EQ(port.TextWindow(6, 100), "");
    EXPECT_EQ(port.TextWindow(-1, 100), "");
    port.SetSelection(4, 50);
    EXPECT_EQ(port.Caret(), 4);
    EXPECT_EQ(port.SelectedText(), G("丙"));
    port.SetCaret(99);
    EXPECT_EQ(port.Caret(), 6);
    EXPECT_EQ(port.SelectionLength(), 0);
    // Without a traditional copy the text itself stands in for it.
    EXPECT_EQ(port.HiddenCopySelection(0, 2), G("甲"));
    port.ReportErrorAsync("nobody listens"); // no receiver: nothing happens
}
