// The reader thread driven through the in-memory editor and the test voice.
#include "InMemoryEditor.h"
#include "ReaderTestSupport.h"
#include "ReadingState.h"
#include "TestSpeechVoice.h"
#include "Tts.h"

#include <gtest/gtest.h>
#include <thread>

namespace sonvela {
namespace {

using namespace std::chrono_literals;
using testing::G;
using Clock = std::chrono::steady_clock;
using Selection = InMemoryEditor::Selection;

// Timing bounds: a pause never ends early; the upper margin absorbs a
// loaded test machine.
constexpr auto kSlack = 150ms;
constexpr std::chrono::milliseconds kFullStopPause{testing::kQuickFullStopPause};

std::int32_t Size(const GbkString& text) {
    return static_cast<std::int32_t>(text.size());
}

class ReaderTest : public ::testing::Test {
protected:
    ReaderTest() {
        getdelaystring(state, testing::QuickDelayTable());
        state.signdelay = 200;
        host = std::make_unique<ReaderHost>(state, voice, editor,
                                            [] { return testing::SampleMoment(); });
    }

    // What a reading command does: disable the controls, then gundong1.
    void StartFromCaret(const GbkString& text, std::int32_t caret = 0) {
        editor.SetText(text);
        editor.SetCaret(caret);
        editor.DisableReadingControls();
        host->gundong1({0, false});
    }

    // What a loop pass does: the range is selected, readrange is set and
    // enableafter cleared by the loop command, then readtxt.
    void StartRange(const GbkString& text, std::int32_t start, std::int32_t length) {
        editor.SetText(text);
        editor.SetSelection(start, length);
        editor.DisableReadingControls();
        state.readrange = true;
        state.enableafter = false;
        host->readtxt({0, false});
    }

    void WaitForEnd() { ASSERT_TRUE(host->WaitUntilIdle(10s)); }

    // At each speak: what the editor shows selected, and the scroll count.
    void WatchEditorWhileSpeaking() {
        voice.SetSpeakHook([this](const GbkString&) {
            selectedWhileSpoken.push_back(editor.SelectedText());
            scrollsWhileSpoken.push_back(editor.ScrollCount());
        });
    }

    ReadingState state;
    TestSpeechVoice voice{20us};
    InMemoryEditor editor;
    std::unique_ptr<ReaderHost> host;
    std::vector<GbkString> selectedWhileSpoken;
    std::vector<int> scrollsWhileSpoken;
};

TEST_F(ReaderTest, ReadsTheSampleSentenceInThreeSegments) {
    getdelaystring(state, testing::InstalledDelayTable());
    const GbkString text = G("今天天气很好。我们去公园吧！明天见");
    StartFromCaret(text);
    EXPECT_TRUE(state.isreading.load());
    WaitForEnd();

    const auto spoken = voice.Spoken();
    ASSERT_EQ(voice.SpokenTexts(),
              (std::vector<GbkString>{G("今天天气很好。"), G("我们去公园吧！"), G("明天见")}));
    const auto gap1 = spoken[1].start - spoken[0].end;
    const auto gap2 = spoken[2].start - spoken[1].end;
    EXPECT_GE(gap1, 300ms);
    EXPECT_LT(gap1, 300ms + kSlack);
    EXPECT_LT(gap2, kSlack); // "！" ends a segment without a pause

    EXPECT_EQ(editor.SelectionHistory(), (std::vector<Selection>{{0, 14}, {14, 14}, {28, 6}}));
    EXPECT_EQ(editor.CurrentSelection(), (Selection{Size(text), 0}));
    EXPECT_FALSE(state.isreading.load());
    EXPECT_TRUE(editor.ControlsEnabled());
    EXPECT_EQ(editor.EnableCount(), 1);
    EXPECT_GE(state.lastendtime(), spoken[2].end);
    EXPECT_EQ(voice.CurrentVoice(), 0);
    EXPECT_GE(editor.FocusCount(), 1);
}

TEST_F(ReaderTest, AWindowWithoutSymbolIsOneSegmentOfAtMost500Bytes) {
    const GbkString ascii(600, 'a');
    StartFromCaret(ascii);
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(),
              (std::vector<GbkString>{GbkString(500, 'a'), GbkString(100, 'a')}));
    EXPECT_EQ(editor.SelectionHistory(), (std::vector<Selection>{{0, 500}, {500, 100}}));
}

TEST_F(ReaderTest, TheWindowNeverSplitsACharacter) {
    // After "x" every character takes two bytes, so byte 500 is the first
    // byte of a character: the window is cut one byte shorter.
    GbkString text = "x";
    for (int i = 0; i < 300; ++i)
        text += G("字");
    StartFromCaret(text);
    WaitForEnd();
    EXPECT_EQ(editor.SelectionHistory(), (std::vector<Selection>{{0, 499}, {499, 102}}));
    const auto spoken = voice.SpokenTexts();
    ASSERT_EQ(spoken.size(), 2u);
    EXPECT_EQ(spoken[0] + spoken[1], text);
    EXPECT_EQ(GbkToUtf8(spoken[1]).find("\xEF\xBF\xBD"), std::string::npos);
}

TEST_F(ReaderTest, DelaySignPausesBeforeTheSegmentAndIsNotSpoken) {
    const GbkString text = G("前面※后面。再见");
    WatchEditorWhileSpeaking();
    const auto started = Clock::now();
    StartFromCaret(text);
    WaitForEnd();

    const auto spoken = voice.Spoken();
    ASSERT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("前面后面。"), G("再见")}));
    EXPECT_GE(spoken[0].start - started, 200ms);
    EXPECT_LT(spoken[0].start - started, 200ms + kSlack);
    EXPECT_EQ(selectedWhileSpoken[0], G("前面※后面。"));
    // The full stop's own pause still follows the segment.
    EXPECT_GE(spoken[1].start - spoken[0].end, kFullStopPause);
}

TEST_F(ReaderTest, ASegmentOfOnlyTheSignIsStillPausedFor) {
    state.signdelay = 100;
    const auto started = Clock::now();
    StartFromCaret(G("※，好。"));
    WaitForEnd();
    const auto spoken = voice.Spoken();
    ASSERT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("，"), G("好。")}));
    EXPECT_GE(spoken[0].start - started, 100ms);
}

TEST_F(ReaderTest, SymbolsOfRowsWithoutPauseAreReadAsText) {
    getdelaystring(state, {{G("。"), 0, true}, {G("，"), 500, false}});
    StartFromCaret(G("一，二。三"));
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("一，二。"), G("三")}));
}

TEST_F(ReaderTest, FullWidthNumberSignEndsNoSegment) {
    StartFromCaret(G("一＃二。"));
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{G("一＃二。")});
}

TEST_F(ReaderTest, NewSymbolsApplyFromTheNextSegment) {
    voice.SetSpeakHook([this](const GbkString&) { getdelaystring(state, {{G("、"), 0, true}}); });
    StartFromCaret(G("甲。乙、丙。丁"));
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("甲。"), G("乙、"), G("丙。丁")}));
}

TEST_F(ReaderTest, RangeEndingMidSentenceEndsWithTheRange) {
    const GbkString text = G("前言。第一句，第二句还没完，后文");
    const auto start = Size(G("前言。"));
    const auto length = Size(G("第一句，第二句还"));
    WatchEditorWhileSpeaking();
    StartRange(text, start, length);
    WaitForEnd();

    EXPECT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("第一句，"), G("第二句还")}));
    EXPECT_EQ(selectedWhileSpoken, voice.SpokenTexts());
    // The last segment stays selected; the loop timer, not the reader,
    // enables the controls of a loop pass.
    EXPECT_EQ(editor.CurrentSelection(),
              (Selection{start + Size(G("第一句，")), Size(G("第二句还"))}));
    EXPECT_FALSE(state.isreading.load());
    EXPECT_EQ(editor.EnableCount(), 0);
    EXPECT_EQ(editor.ScrollCount(), 0);
}

// A range of several pieces (the reader takes 64 KB at a time) is read from
// its own start to its own end, neither more nor less, in either form.
TEST_F(ReaderTest, ALongRangeIsTakenInPiecesFromItsStartToItsEnd) {
    getdelaystring(state, {{G("。"), 0, true}});
    voice.SetTimePerByte(0us);
    GbkString sentence;
    for (int i = 0; i < 60; ++i)
        sentence += G("简体字");
    sentence += G("。");
    GbkString range;
    while (range.size() < 140'000)
        range += sentence;
    const GbkString before = G("前言。");
    const GbkString after = G("尾声。");
    // The copy differs from the text in the first word of each sentence.
    GbkString copy = before + range + after;
    for (std::size_t at = before.size(); at < before.size() + range.size(); at += sentence.size())
        copy.replace(at, 6, G("簡體字"));

    for (const bool cantonese : {false, true}) {
        SCOPED_TRACE(cantonese);
        voice.ClearCalls();
        editor.SetText(before + range + after);
        editor.SetHiddenCopy(copy);
        editor.SetSelection(Size(before), Size(range));
        state.readrange = true;
        state.enableafter = false;
        host->readtxt({cantonese ? 1 : 0, cantonese});
        WaitForEnd();
        GbkString spoken;
        for (const GbkString& segment : voice.SpokenTexts())
            spoken += segment;
        EXPECT_EQ(spoken, cantonese ? copy.substr(before.size(), range.size()) : range);
    }
}

TEST_F(ReaderTest, RangeModeSpeaksBlankSegmentsToo) {
    StartRange("   ", 0, 3);
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{"   "});
}

TEST_F(ReaderTest, BlankWindowsAreSkippedByWholeWindows) {
    const GbkString blanks = GbkString(500, ' ') + GbkString(700, '\n');
    const GbkString text = G("开始。") + blanks + G("结束。");
    StartFromCaret(text);
    WaitForEnd();
    // The window after "开始。" and the next are blank; the third holds text
    // and is read from its start, blanks included.
    const GbkString rest = blanks.substr(1000) + G("结束。");
    EXPECT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("开始。"), rest}));
    EXPECT_EQ(editor.SelectionHistory(), (std::vector<Selection>{{0, 6}, {1006, Size(rest)}}));
    EXPECT_EQ(editor.CurrentSelection(), (Selection{Size(text), 0}));
}

TEST_F(ReaderTest, TextAfterABlankRunOnTheLastLineIsStillRead) {
    const GbkString text = G("开始。") + GbkString(1200, ' ') + G("结束。");
    StartFromCaret(text);
    WaitForEnd();
    ASSERT_EQ(voice.Spoken().size(), 2u);
    EXPECT_EQ(voice.SpokenTexts()[1], GbkString(200, ' ') + G("结束。"));
}

TEST_F(ReaderTest, TrailingBlanksEndTheReadingAtTheEndOfTheText) {
    const GbkString text = G("好。") + GbkString(1100, '\n');
    StartFromCaret(text);
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{G("好。")});
    EXPECT_EQ(editor.CurrentSelection(), (Selection{Size(text), 0}));
    EXPECT_TRUE(editor.ControlsEnabled());
}

TEST_F(ReaderTest, CaretAtTheEndEndsAtOnce) {
    StartFromCaret(G("你好。"), Size(G("你好。")));
    WaitForEnd();
    EXPECT_TRUE(voice.Spoken().empty());
    EXPECT_FALSE(state.isreading.load());
    EXPECT_TRUE(editor.ControlsEnabled());
}

TEST_F(ReaderTest, BlankTextStartsNothing) {
    editor.SetText(" \r\n\t");
    host->gundong1({0, false});
    EXPECT_FALSE(state.isreading.load());
    EXPECT_EQ(host->ThreadCount(), 0u);
}

TEST_F(ReaderTest, StopDuringALongSegmentFinishesItAndItsPause) {
    voice.SetTimePerByte(1ms);
    GbkString longSegment;
    for (int i = 0; i < 100; ++i)
        longSegment += G("长");
    longSegment += G("。");
    StartFromCaret(longSegment + G("后面。"));
    ASSERT_TRUE(voice.WaitForSpeakStarts(1, 5s));
    // Stop, as the toolbar button does it.
    state.isreading = false;
    state.stopreading = true;
    WaitForEnd();

    const auto spoken = voice.Spoken();
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].text, longSegment);
    EXPECT_FALSE(spoken[0].cutShort);
    EXPECT_GE(state.lastendtime() - spoken[0].end, kFullStopPause);
    EXPECT_EQ(editor.CurrentSelection(), (Selection{Size(longSegment), 0}));
}

TEST_F(ReaderTest, PlaceholderStaysSelectedWhileTheDateIsSpoken) {
    WatchEditorWhileSpeaking();
    state.datetimetype = 8;
    StartFromCaret(G("今天是%Date%。"));
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{G("今天是2014年04月07日 星期一。")});
    EXPECT_EQ(selectedWhileSpoken, std::vector<GbkString>{G("今天是%Date%。")});
}

TEST_F(ReaderTest, ViewScrollsOneLineAtATimeBehindTheReading) {
    // Each segment after the first starts on the line break that ends the
    // line before it.
    WatchEditorWhileSpeaking();
    StartFromCaret(G("甲。\n乙。\n丙。\n丁。\n戊。"));
    WaitForEnd();
    EXPECT_EQ(scrollsWhileSpoken, (std::vector<int>{0, 0, 0, 1, 2}));
}

TEST_F(ReaderTest, AJumpOverSeveralLinesScrollsOnceAndTheLastLineOnceMore) {
    WatchEditorWhileSpeaking();
    StartFromCaret(G("甲\n乙\n丙\n丁。戊。己。庚。"));
    WaitForEnd();
    // The first segment spans lines 0-3 and begins on line 0, so no scroll
    // follows it. "戊。" begins on the last line, which counts one line
    // further: one scroll before "己。", then none while on that line.
    EXPECT_EQ(scrollsWhileSpoken, (std::vector<int>{0, 0, 1, 1}));
}

TEST_F(ReaderTest, SingleLineTextScrollsOnceForTheLastLine) {
    WatchEditorWhileSpeaking();
    StartFromCaret(G("甲。乙。丙。"));
    WaitForEnd();
    EXPECT_EQ(scrollsWhileSpoken, (std::vector<int>{0, 1, 1}));
}

TEST_F(ReaderTest, TextAddedUnderTheReaderIsReadWhenItsTurnComes) {
    const GbkString text = G("一。二。");
    voice.SetSpeakHook([&](const GbkString& spoken) {
        if (spoken == G("一。"))
            editor.Replace(Size(text), 0, G("三。"));
    });
    StartFromCaret(text);
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("一。"), G("二。"), G("三。")}));
}

TEST_F(ReaderTest, TextShortenedBelowTheLineReadEndsTheReading) {
    const GbkString text = G("一。\n二。\n三。\n四。\n五。");
    voice.SetSpeakHook([&](const GbkString& spoken) {
        if (spoken == G("\n五。")) // read after a segment on line 2
            editor.Replace(0, Size(editor.Text()), G("新的一行很长，没有换行。继续。还有。"));
    });
    StartFromCaret(text);
    WaitForEnd();
    // Without the line test the reader would go on in the new text.
    EXPECT_EQ(voice.SpokenTexts().back(), G("\n五。"));
    EXPECT_FALSE(state.isreading.load());
    EXPECT_TRUE(editor.ControlsEnabled());
}

TEST_F(ReaderTest, CantoneseReadingSpeaksTheHiddenCopy) {
    editor.SetHiddenCopy(G("簡體字。後面"));
    StartFromCaret(G("简体字。后面"));
    WaitForEnd();
    EXPECT_TRUE(voice.SpokenTexts() ==
                (std::vector<GbkString>{G("简体字。"), G("后面")})); // voice 0 is not Cantonese

    voice.ClearCalls();
    editor.SetCaret(0);
    host->gundong1({1, true});
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("簡體字。"), G("後面")}));
    EXPECT_EQ(voice.CurrentVoice(), 1);
    // The editor shows the simplified text selected, the copy the same range.
    EXPECT_EQ(editor.SelectionHistory().back(), (Selection{8, 4}));
    EXPECT_EQ(editor.HiddenCopySelectionRange(), (Selection{8, 4}));
}

TEST_F(ReaderTest, CantoneseRangeTakesTheSameRangeOfTheHiddenCopy) {
    editor.SetHiddenCopy(G("前言。簡體字。後面"));
    editor.SetText(G("前言。简体字。后面"));
    editor.SetSelection(6, 8);
    state.readrange = true;
    state.enableafter = false;
    host->readtxt({1, true});
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{G("簡體字。")});
    EXPECT_EQ(editor.HiddenCopySelectionRange(), (Selection{6, 8}));
}

TEST_F(ReaderTest, SpeechFaultStillRunsTheFinishStepAndIsReported) {
    voice.FailSpeakNumber(2, "The audio device failed");
    StartFromCaret(G("一。二。三。"));
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{G("一。")});
    EXPECT_FALSE(state.isreading.load());
    EXPECT_TRUE(editor.ControlsEnabled());
    EXPECT_GT(state.lastendtime().time_since_epoch().count(), 0);
    EXPECT_EQ(editor.ReportedErrors(), std::vector<std::string>{"The audio device failed"});

    // readlock was released: the next reading runs.
    voice.ClearCalls();
    StartFromCaret(G("再来。"));
    WaitForEnd();
    EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{G("再来。")});
}

TEST_F(ReaderTest, ANewStartEndsTheRunningReaderAfterItsSegment) {
    // Stop and start at once, as the hot key F7 does: Stop's request is
    // cleared by the start, yet the earlier reader must not read on.
    voice.SetTimePerByte(1ms);
    const GbkString text = G("第一段比较长的句子。第二段。第三段。");
    StartFromCaret(text);
    ASSERT_TRUE(voice.WaitForSpeakStarts(1, 5s));
    state.isreading = false;
    state.stopreading = true;
    editor.SetCaret(0);
    host->gundong1({0, false});
    EXPECT_TRUE(state.isreading.load());
    WaitForEnd();

    EXPECT_EQ(voice.SpokenTexts(),
              (std::vector<GbkString>{G("第一段比较长的句子。"), G("第一段比较长的句子。"),
                                      G("第二段。"), G("第三段。")}));
    EXPECT_FALSE(state.isreading.load());
    EXPECT_EQ(editor.EnableCount(), 1);
}

TEST_F(ReaderTest, OnlyOneReaderSpeaksAtATime) {
    voice.SetTimePerByte(200us);
    std::atomic<int> speaking{0};
    std::atomic<int> most{0};
    voice.SetSpeakHook([&](const GbkString&) {
        const int now = ++speaking;
        most = std::max(most.load(), now);
        std::this_thread::sleep_for(2ms);
        --speaking;
    });
    editor.SetText(G("甲。乙。丙。丁。"));
    for (int i = 0; i < 5; ++i) {
        editor.SetCaret(0);
        host->gundong1({0, false});
    }
    WaitForEnd();
    EXPECT_EQ(most.load(), 1);
    EXPECT_FALSE(state.isreading.load());
}

TEST_F(ReaderTest, FinishedThreadsAreJoined) {
    for (int i = 0; i < 20; ++i) {
        StartRange(G("短。"), 0, 6);
        WaitForEnd();
    }
    EXPECT_EQ(host->ThreadCount(), 0u);
    EXPECT_EQ(voice.Spoken().size(), 20u);
}

} // namespace
} // namespace sonvela
