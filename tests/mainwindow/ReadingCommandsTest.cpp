// The reading commands in the main window, driven with the deterministic
// test engine on the offscreen platform.
#include "ReadingCommands.h"

#include "PumpUntil.h"
#include "SettingsFile.h"
#include "TestSpeechVoice.h"
#include "Tf_speaker.h"
#include "Tts.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QThread>
#include <QToolButton>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>

namespace sonvela {
namespace {

using namespace std::chrono_literals;
using test::AnsweringDesktop;
using test::ProgramFolder;
using Kind = TestSpeechVoice::CallKind;

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

GbkString G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

const char* const kReadingControls[] = {
    "SB_new", "SB_open", "SB_save", "SB_jexu",  "SB_play", "SB_repeat", "SB_repeat1",
    "SB_top", "SB_bott", "SB_time", "sb_delay", "btn_ok",  "SpinEdit1", "SpinEdit2"};

// The user-interface thread keeps serving the reader's editor calls while a
// test waits.
using sonvela::testing::PumpUntil;

TEST(CaretPanelTest, FormatsAndReadsTheLineNumber) {
    EXPECT_EQ(CaretPanelText(11, 4), "   12:5");
    EXPECT_EQ(LineOfCaretPanel("   12:5"), 12);
    EXPECT_EQ(LineOfCaretPanel("7:1"), 7);
    for (const char* noLine : {"", "   ", "   :3", "  12", "x12:3", "   99999999999:1"})
        EXPECT_EQ(LineOfCaretPanel(noLine), 0) << noLine;
    EXPECT_TRUE(NoVoiceChosen(""));
    EXPECT_TRUE(NoVoiceChosen(" \t "));
    EXPECT_FALSE(NoVoiceChosen(" Test Mandarin "));
}

class ReadingCommandsTest : public ::testing::Test {
protected:
    ReadingCommandsTest() {
        window = std::make_unique<Tf_speaker>(
            MainWindowServices{folder.Path(), nullptr, &voice, nullptr});
        window->show();
        // "。" ends a segment, with no pause after it.
        getdelaystring(window->Reading(), {{G("。"), 0, true}});
        voice.ClearCalls();
    }

    ~ReadingCommandsTest() override {
        // Let a reader still running end before the window goes.
        window->SB_stopClick();
        PumpUntil([&] { return Idle(); });
    }

    void SetText(const char* utf8) { window->Memo1()->setPlainText(Q(utf8)); }

    bool Idle() const { return !window->Reading().isreading && Control("SB_jexu")->isEnabled(); }

    QWidget* Control(const char* name) const {
        return window->findChild<QWidget*>(QString::fromLatin1(name));
    }
    QAction* Item(const char* name) const {
        return window->findChild<QAction*>(QString::fromLatin1(name));
    }
    void Click(const char* button) { static_cast<QToolButton*>(Control(button))->click(); }

    void ReleaseKey() {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(window->Memo1(), &release);
    }

    std::vector<GbkString> Async() const {
        std::vector<GbkString> texts;
        for (const auto& call : voice.Calls())
            if (call.kind == Kind::SpeakAsync)
                texts.push_back(call.text);
        return texts;
    }
    int CountOf(Kind kind) const {
        int n = 0;
        for (const auto& call : voice.Calls())
            n += call.kind == kind;
        return n;
    }

    AnsweringDesktop desktop;
    ProgramFolder folder{false};
    TestSpeechVoice voice{std::chrono::microseconds(20)};
    std::unique_ptr<Tf_speaker> window;
};

TEST_F(ReadingCommandsTest, ReadFromStartDropsTheSelectionAndDisablesExactlyTheReadingControls) {
    SetText("第一句。第二句。");
    window->Memo1Text().SetSelection(4, 4); // a word in the middle
    Click("SB_jexu");

    EXPECT_TRUE(window->Reading().isreading);
    EXPECT_TRUE(window->Reading().threadreading);
    for (const char* name : kReadingControls)
        EXPECT_FALSE(Control(name)->isEnabled()) << name;
    for (const char* name : {"SB_stop", "SB_close", "SB_panel", "SB_schedule", "Memo1"})
        EXPECT_TRUE(Control(name)->isEnabled()) << name;

    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("第一句。"), G("第二句。")}));
    for (const char* name : kReadingControls)
        EXPECT_TRUE(Control(name)->isEnabled()) << name;
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(ReadingCommandsTest, ReadFromTheCaretLeavesTheCaretPanelAlone) {
    SetText("甲乙丙。\n丁戊己。庚辛。");
    window->Memo1Text().SetCaret(2);
    ReleaseKey();
    EXPECT_EQ(window->StatusText(0), Q("   1:3"));
    window->Memo1Text().SetCaret(9); // "丁", without a key or mouse release
    Click("SB_play");

    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("丁戊己。"), G("庚辛。")}));
    EXPECT_EQ(CountOf(Kind::SetVoice), 1);
    EXPECT_EQ(window->StatusText(0), Q("   1:3"));

    // From the context menu, the same reading; a blank text reads nothing.
    window->Memo1Text().SetCaret(17);
    voice.ClearCalls();
    Item("N1")->trigger();
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{G("庚辛。")});
    SetText(" \n ");
    voice.ClearCalls();
    Item("N1")->trigger();
    EXPECT_FALSE(window->Reading().isreading);
    EXPECT_TRUE(Control("SB_play")->isEnabled());
    EXPECT_TRUE(voice.Calls().empty());
}

TEST_F(ReadingCommandsTest, CurrentLineIsTheLineShownInTheCaretPanel) {
    SetText("第一行\n第二行\n第三行");
    window->Memo1Text().SetCaret(9); // line 2, after its first character
    ReleaseKey();
    EXPECT_EQ(window->StatusText(0), Q("   2:3"));
    window->Memo1Text().SetCaret(16); // line 3, no release
    Item("L1")->trigger();

    EXPECT_EQ(Async(), std::vector<GbkString>{G("第二行")});
    EXPECT_FALSE(window->Reading().threadreading);
    EXPECT_FALSE(window->Reading().isreading);
    EXPECT_TRUE(Control("SB_jexu")->isEnabled()); // the controls stay as they are

    // A mouse-button release in the editor refreshes the panel too.
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window->Memo1()->viewport(), &release);
    EXPECT_EQ(window->StatusText(0), Q("   3:3"));
    voice.ClearCalls();
    window->L1Click();
    EXPECT_EQ(Async(), std::vector<GbkString>{G("第三行")});

    // Stop while a line is spoken cuts the engine off at once.
    voice.ClearCalls();
    Click("SB_stop");
    EXPECT_EQ(CountOf(Kind::CutOff), 1);
    EXPECT_FALSE(window->Reading().stopreading);
}

TEST_F(ReadingCommandsTest, CaretLineIsKnownBeforeTheFirstKeyOrMouseRelease) {
    // At start-up, before the operator touched the editor.
    EXPECT_EQ(window->StatusText(0), Q("   1:1"));
    // A text put in whole (a file loaded): its first line, at once.
    SetText("第一行\n第二行");
    EXPECT_EQ(window->StatusText(0), Q("   1:1"));
    Item("L1")->trigger();
    EXPECT_EQ(Async(), std::vector<GbkString>{G("第一行")});
    Item("N3")->trigger();
    EXPECT_EQ(SettingsFile::InFolder(folder.Path()).ReadInteger("Position", "Line", -1), 0);

    // A text replaced while the panel showed a later line starts over.
    window->Memo1Text().SetCaret(9);
    ReleaseKey();
    EXPECT_EQ(window->StatusText(0), Q("   2:3"));
    SetText("甲乙\n丙丁");
    EXPECT_EQ(window->StatusText(0), Q("   1:1"));
    // The delay sign rebuilds the text and puts the caret at its start.
    window->Memo1Text().SetCaret(6);
    ReleaseKey();
    Item("Y1")->trigger();
    EXPECT_EQ(window->StatusText(0), Q("   1:1"));
}

TEST_F(ReadingCommandsTest, SelectionIsSpokenWholeAndNothingWhenNothingIsSelected) {
    SetText("今天%Date%出发。※明天回来。");
    window->Memo1Text().SetCaret(4);
    Item("N2")->trigger();
    EXPECT_EQ(CountOf(Kind::SetVoice), 1);
    EXPECT_TRUE(Async().empty());
    EXPECT_TRUE(desktop.messages.empty());

    window->Memo1Text().SetSelection(0, 18);
    Item("N2")->trigger();
    // One piece, placeholder and delay sign left in.
    EXPECT_EQ(Async(), std::vector<GbkString>{G("今天%Date%出发。※")});
    EXPECT_EQ(window->Memo1Text().SelectionLength(), 18);
    EXPECT_FALSE(window->Reading().isreading);
}

TEST_F(ReadingCommandsTest, BookmarkIsWrittenAndReadBack) {
    SetText("一二。\n三四。五六。");
    window->Memo1Text().SetCaret(13);
    ReleaseKey();
    Item("N3")->trigger();
    const SettingsFile settings = SettingsFile::InFolder(folder.Path());
    EXPECT_EQ(settings.ReadInteger("Position", "Lastposi", -1), 13);
    EXPECT_EQ(settings.ReadInteger("Position", "Line", -1), 1);

    window->Memo1Text().SetCaret(0);
    Item("N41")->trigger();
    // Unlike N1 the controls stay enabled; the reading still ends as one.
    EXPECT_TRUE(Control("SB_jexu")->isEnabled());
    EXPECT_TRUE(window->Reading().isreading);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{G("五六。")});
}

TEST_F(ReadingCommandsTest, BookmarkBeyondTheEndEndsAtOnceAndZeroReadsFromTheCaret) {
    SetText("一二。三四。");
    const SettingsFile settings = SettingsFile::InFolder(folder.Path());
    settings.WriteInteger("Position", "Lastposi", 5000);
    window->btn_disable(); // the reader's finish step enables them
    window->N41Click();
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_TRUE(voice.SpokenTexts().empty());
    EXPECT_EQ(window->Memo1Text().Caret(), 12);
    for (const char* name : kReadingControls)
        EXPECT_TRUE(Control(name)->isEnabled()) << name;

    for (const std::int32_t none : {0, -3}) {
        settings.WriteInteger("Position", "Lastposi", none);
        window->Memo1Text().SetCaret(6);
        voice.ClearCalls();
        window->N41Click();
        ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
        EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{G("三四。")}) << none;
    }
}

TEST_F(ReadingCommandsTest, DuringAReadingLineAndSelectionAreRefusedAndStopFinishesTheSegment) {
    voice.SetTimePerByte(std::chrono::milliseconds(15)); // 150 ms a segment
    SetText("一二三四。五六七八。九十。");
    Click("SB_jexu");
    ASSERT_TRUE(PumpUntil([&] { return voice.SpeakStarts() >= 1; }));

    window->Memo1Text().SetCaret(0);
    ReleaseKey();
    window->L1Click();
    window->Memo1Text().SetSelection(0, 4);
    window->N2Click();
    EXPECT_TRUE(Async().empty());

    Click("SB_stop");
    EXPECT_TRUE(window->Reading().stopreading);
    EXPECT_FALSE(window->Reading().isreading);
    for (const char* name : kReadingControls)
        EXPECT_TRUE(Control(name)->isEnabled()) << name;
    // Spoken calls are recorded as they end.
    ASSERT_TRUE(PumpUntil([&] { return !voice.Spoken().empty(); }));
    PumpUntil([] { return false; }, 300ms); // time for a second segment, were there one
    const auto spoken = voice.Spoken();
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].text, G("一二三四。"));
    EXPECT_FALSE(spoken[0].cutShort);
    EXPECT_EQ(CountOf(Kind::CutOff), 0);
}

// Whatever the view showed when the reading began, the segment being spoken
// is on screen: here the reading starts at the top while the view shows the
// end, and each segment, checked as it is spoken, lies inside the viewport.
TEST_F(ReadingCommandsTest, TheSpokenSegmentIsOnScreenWhenTheViewWasScrolledAway) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "第" + std::to_string(i) + "行的句子。\n";
    SetText(text.c_str());
    QPlainTextEdit* memo = window->Memo1();
    QApplication::processEvents();
    QScrollBar* bar = memo->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 50);
    bar->setValue(bar->maximum());

    // Each time the user-interface thread is free, the segment the reader
    // has selected must be inside the viewport.
    voice.SetTimePerByte(std::chrono::milliseconds(1));
    int offScreen = 0;
    int checked = 0;
    window->SB_jexuClick();
    ASSERT_TRUE(PumpUntil([&] {
        if (memo->textCursor().hasSelection()) {
            const QRect caret = memo->cursorRect();
            offScreen += caret.bottom() < 0 || caret.top() > memo->viewport()->height();
            ++checked;
        }
        return voice.SpeakStarts() >= 30;
    }));
    window->SB_stopClick();
    ASSERT_TRUE(PumpUntil([&] { return window->Reading().readlock.TryAcquire(); }));
    window->Reading().readlock.Release();
    EXPECT_GT(checked, 0);
    EXPECT_EQ(offScreen, 0);
    EXPECT_LT(bar->value(), bar->maximum() / 2) << "the view followed the reading to the top";
}

TEST_F(ReadingCommandsTest, EngineFaultIsReportedOnTheUserInterfaceThread) {
    SetText("一二。三四。");
    voice.FailSpeakNumber(1, "The audio device failed");
    window->SB_jexuClick();
    ASSERT_TRUE(PumpUntil([&] { return !desktop.messages.empty(); }));
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(desktop.messages[0].text, "The audio device failed.");
    EXPECT_FALSE(window->Reading().isreading);
}

TEST_F(ReadingCommandsTest, CantoneseVoiceReadsTheHiddenCopy) {
    SetText("一二。三四。");
    window->findChild<QComboBox*>(QStringLiteral("flatComboBox1"))->setCurrentIndex(1);
    window->SB_jexuClick();
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(window->Memo2()->toPlainText(), window->Memo1()->toPlainText());
    EXPECT_EQ(voice.CurrentVoice(), 1);
    EXPECT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("一二。"), G("三四。")}));
}

TEST(ReadingOptionsTest, SlidersReachTheEngineAtStartUpEvenWhenUnchangedAndOnEachMove) {
    AnsweringDesktop desktop;
    ProgramFolder folder(false);
    const SettingsFile settings = SettingsFile::InFolder(folder.Path());
    settings.WriteInteger("Speaker", "Rate", 0);    // the slider's initial position
    settings.WriteInteger("Speaker", "Volume", 95); // likewise
    TestSpeechVoice voice;
    Tf_speaker window(MainWindowServices{folder.Path(), nullptr, &voice, nullptr});
    std::vector<std::pair<Kind, int>> calls;
    for (const auto& call : voice.Calls())
        if (call.kind == Kind::SetRate || call.kind == Kind::SetVolume)
            calls.emplace_back(call.kind, call.value);
    EXPECT_EQ(calls,
              (std::vector<std::pair<Kind, int>>{{Kind::SetRate, 0}, {Kind::SetVolume, 95}}));

    voice.ClearCalls();
    window.findChild<QSlider*>(QStringLiteral("TrackBar2"))->setValue(-4);
    window.findChild<QSlider*>(QStringLiteral("TrackBar1"))->setValue(40);
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("StaticText6"))->text(), Q("-4"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("StaticText9"))->text(), Q("40"));
    ASSERT_EQ(voice.Calls().size(), 2u);
    EXPECT_EQ(voice.Calls()[0].value, -4);
    EXPECT_EQ(voice.Calls()[1].value, 40);
}

TEST(ReadingCommandsWithoutVoiceTest, EveryReadingCommandWarnsThatNoVoiceIsChosen) {
    AnsweringDesktop desktop;
    ProgramFolder folder(false);
    Tf_speaker window(MainWindowServices{folder.Path(), nullptr, nullptr, nullptr});
    EXPECT_EQ(window.Reader(), nullptr);
    window.Memo1()->setPlainText(Q("有字。"));
    window.Memo1Text().SetSelection(0, 2);
    for (const char* button : {"SB_jexu", "SB_play"})
        window.findChild<QToolButton*>(QString::fromLatin1(button))->click();
    for (const char* item : {"N1", "L1", "N2", "N41"})
        window.findChild<QAction*>(QString::fromLatin1(item))->trigger();
    ASSERT_EQ(desktop.messages.size(), 6u);
    for (const MessageRequest& message : desktop.messages) {
        EXPECT_EQ(message.icon, MessageIcon::Warning);
        EXPECT_EQ(message.caption, "Warning");
        EXPECT_EQ(message.text, "请选择语音引擎!");
    }
    EXPECT_FALSE(window.Reading().isreading);
    EXPECT_TRUE(window.findChild<QWidget*>(QStringLiteral("SB_jexu"))->isEnabled());

    // A blank text is checked first: nothing at all; Stop needs no voice.
    window.Memo1()->setPlainText(Q("  "));
    window.N1Click();
    window.SB_stopClick();
    EXPECT_EQ(desktop.messages.size(), 6u);
}

} // namespace
} // namespace sonvela
