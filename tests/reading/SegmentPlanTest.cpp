// The segments an export plans must be the ones the reader thread speaks:
// both modes, over texts that test the window, blank runs, the delay sign
// and the date placeholder.
#include "SegmentPlan.h"

#include "InMemoryEditor.h"
#include "ReaderTestSupport.h"
#include "ReadingState.h"
#include "TestSpeechVoice.h"
#include "Tts.h"

#include <gtest/gtest.h>

namespace sonvela {
namespace {

using namespace std::chrono_literals;
using testing::G;

std::vector<GbkString> Texts() {
    GbkString longRun;
    for (int i = 0; i < 300; ++i)
        longRun += G("长");
    GbkString blanks(620, ' ');
    return {
        G("今天天气很好。我们去公园吧！明天见"),
        G("现在是%Date%，※请注意。\n\n谢谢"),
        longRun + G("。结束"),
        G("开始。") + blanks + G("空白之后。") + GbkString(510, '\n'),
        G("，，。！"),
    };
}

class SegmentPlanTest : public ::testing::Test {
protected:
    SegmentPlanTest() : voice(0us) {
        getdelaystring(state, testing::QuickDelayTable());
        state.signdelay = 1;
        state.datetimetype = 3;
        symbols = DelaySymbols::FromRows(testing::QuickDelayTable());
        host = std::make_unique<ReaderHost>(state, voice, editor,
                                            [] { return testing::SampleMoment(); });
    }

    std::vector<GbkString> Planned(const GbkString& text, bool rangeMode) const {
        std::vector<GbkString> spoken;
        for (const PlannedSegment& segment :
             PlanSegments(text, rangeMode, symbols, 3, 1, [] { return testing::SampleMoment(); }))
            spoken.push_back(segment.spoken);
        return spoken;
    }

    ReadingState state;
    TestSpeechVoice voice;
    InMemoryEditor editor;
    DelaySymbols symbols;
    std::unique_ptr<ReaderHost> host;
};

TEST_F(SegmentPlanTest, CaretModeSpeaksWhatTheReaderSpeaks) {
    for (const GbkString& text : Texts()) {
        voice.ClearCalls();
        editor.SetText(text);
        editor.SetCaret(0);
        host->gundong1({0, false});
        ASSERT_TRUE(host->WaitUntilIdle(10s));
        EXPECT_EQ(Planned(text, false), voice.SpokenTexts()) << GbkToUtf8(text);
    }
}

TEST_F(SegmentPlanTest, RangeModeSpeaksWhatALoopPassSpeaks) {
    for (const GbkString& text : Texts()) {
        voice.ClearCalls();
        editor.SetText(text);
        editor.SetSelection(0, static_cast<std::int32_t>(text.size()));
        state.readrange = true;
        state.enableafter = false;
        host->readtxt({0, false});
        ASSERT_TRUE(host->WaitUntilIdle(10s));
        EXPECT_EQ(Planned(text, true), voice.SpokenTexts()) << GbkToUtf8(text);
    }
}

TEST_F(SegmentPlanTest, PausesComeFromTheSymbolAndTheSign) {
    const auto segments = PlanSegments(G("好。※请！看"), false, symbols, 1, 700,
                                       [] { return testing::SampleMoment(); });
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[0].segdelay, testing::kQuickFullStopPause);
    EXPECT_EQ(segments[1].signPause, 700);
    EXPECT_EQ(segments[1].spoken, G("请！"));
    EXPECT_EQ(segments[1].segdelay, 0);
    EXPECT_EQ(segments[2].end, G("好。※请！看").size());
}

} // namespace
} // namespace sonvela
