// Loop reading through the main window's commands and its one-second timer,
// with the deterministic test engine on the offscreen platform.
#include "PumpUntil.h"
#include "SettingsFile.h"
#include "SettingsKeys.h"
#include "TestSpeechVoice.h"
#include "Tf_speaker.h"
#include "Tts.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

namespace sonvela {
namespace {

using namespace std::chrono_literals;
using test::AnsweringDesktop;
using test::ProgramFolder;
using Clock = std::chrono::steady_clock;

GbkString G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

using sonvela::testing::PumpUntil;

class LoopReadingTest : public ::testing::Test {
protected:
    LoopReadingTest() {
        window = std::make_unique<Tf_speaker>(
            MainWindowServices{folder.Path(), nullptr, &voice, nullptr});
        window->show();
        getdelaystring(window->Reading(), {{G("。"), 0, true}});
        voice.ClearCalls();
    }
    ~LoopReadingTest() override {
        window->SB_stopClick();
        PumpUntil([&] {
            return !window->Reading().isreading && window->Reading().readlock.TryAcquire();
        });
        window->Reading().readlock.Release();
    }

    QWidget* Control(const char* name) const {
        return window->findChild<QWidget*>(QString::fromLatin1(name));
    }
    void Click(const char* name) { static_cast<QToolButton*>(Control(name))->click(); }
    void SetLoopBar(int times, int interval) {
        static_cast<QSpinBox*>(Control("SpinEdit1"))->setValue(times);
        static_cast<QSpinBox*>(Control("SpinEdit2"))->setValue(interval);
    }
    bool ControlsEnabled() const { return Control("SB_jexu")->isEnabled(); }

    AnsweringDesktop desktop;
    ProgramFolder folder{false};
    TestSpeechVoice voice{std::chrono::microseconds(20)};
    std::unique_ptr<Tf_speaker> window;
};

TEST_F(LoopReadingTest, TwoPassesOneSecondApartThenTheControlsComeBackAtTheNextTick) {
    window->Memo1()->setPlainText(QString::fromUtf8("甲乙。丙丁。戊己。"));
    window->Memo1Text().SetSelection(6, 12); // 丙丁。 and 戊己。
    SetLoopBar(2, 1);
    Click("SB_repeat");
    // The command only arms the loop: the timer starts the first pass.
    EXPECT_TRUE(window->readcycled()->isActive());
    EXPECT_TRUE(ControlsEnabled());
    EXPECT_TRUE(voice.Spoken().empty());
    // The values of this loop were taken: changing the bar does not change it.
    SetLoopBar(5, 1);

    ASSERT_TRUE(PumpUntil([&] { return voice.Spoken().size() >= 2; }));
    EXPECT_FALSE(ControlsEnabled()); // off between passes
    ASSERT_TRUE(PumpUntil([&] { return !window->Reading().isreading; }));
    const auto firstEnd = Clock::now();
    // Between passes the last segment stays selected.
    EXPECT_EQ(window->Memo1Text().Caret(), 12);

    ASSERT_TRUE(PumpUntil([&] { return voice.Spoken().size() >= 3; }));
    const auto gap = Clock::now() - firstEnd;
    EXPECT_GE(gap, 1000ms);
    EXPECT_LE(gap, 2500ms);
    ASSERT_TRUE(PumpUntil([&] { return !window->readcycled()->isActive(); }));
    EXPECT_TRUE(ControlsEnabled());
    const auto spoken = voice.SpokenTexts();
    EXPECT_EQ(spoken, (std::vector<GbkString>{G("丙丁。"), G("戊己。"), G("丙丁。"), G("戊己。")}));
}

TEST_F(LoopReadingTest, StopWhileWaitingEndsTheLoopAtOnce) {
    window->Memo1()->setPlainText(QString::fromUtf8("甲乙。"));
    SetLoopBar(3, 1);
    Click("SB_repeat1");
    ASSERT_TRUE(PumpUntil([&] { return !voice.Spoken().empty() && !window->Reading().isreading; }));
    ASSERT_FALSE(ControlsEnabled());
    Click("SB_stop");
    EXPECT_FALSE(window->readcycled()->isActive());
    EXPECT_TRUE(ControlsEnabled());
    PumpUntil([] { return false; }, 2200ms);
    EXPECT_EQ(voice.Spoken().size(), 1u);
}

TEST_F(LoopReadingTest, AFailingVoiceEndsTheLoopWithOneReport) {
    voice.SetSpeakHook([](const GbkString&) { throw SpeechError("The audio device failed"); });
    window->Memo1()->setPlainText(QString::fromUtf8("甲乙。"));
    SetLoopBar(5, 0);
    Click("SB_repeat1");
    ASSERT_TRUE(PumpUntil([&] { return !window->readcycled()->isActive(); }))
        << "the loop went on after the failure";
    PumpUntil([&] { return !desktop.messages.empty(); });
    EXPECT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(voice.SpeakStarts(), 1);
    EXPECT_TRUE(ControlsEnabled());
    EXPECT_FALSE(window->Reading().isreading);

    // The next loop starts afresh and reads.
    voice.SetSpeakHook(nullptr);
    SetLoopBar(2, 0);
    Click("SB_repeat1");
    EXPECT_TRUE(PumpUntil([&] { return !window->readcycled()->isActive(); }, 30s));
    EXPECT_EQ(voice.SpeakStarts(), 3);
}

// A range longer than the piece the reader takes at a time (64 KB) is read
// whole, from the editor and from the Cantonese copy alike. The range starts
// one byte before the two-byte characters, so a piece ends inside one, which
// must be read once, neither dropped nor doubled. The sentence after the
// range stays unread.
TEST_F(LoopReadingTest, ALongRangeIsReadWholeFromTheTextAndFromTheCantoneseCopy) {
    QString sentence;
    for (int i = 0; i < 50; ++i)
        sentence += QString::fromUtf8("简体字");
    sentence += QString::fromUtf8("。");
    QString range = QStringLiteral("a");
    while (range.size() < 40'000)
        range += sentence;
    window->Memo1()->setPlainText(range + QString::fromUtf8("尾声。"));
    const auto rangeBytes = static_cast<std::int64_t>(Utf8ToGbk(range.toStdString()).size());
    ASSERT_GT(rangeBytes, 64 * 1024);
    QString traditional = range;
    traditional.replace(QString::fromUtf8("简体字"), QString::fromUtf8("簡體字"));
    auto* voices = window->findChild<QComboBox*>(QStringLiteral("flatComboBox1"));
    voice.SetTimePerByte(0us);

    for (const auto& [voiceIndex, expected] : {std::pair{0, range}, std::pair{1, traditional}}) {
        SCOPED_TRACE(voiceIndex);
        voice.ClearCalls();
        voices->setCurrentIndex(voiceIndex);
        window->Memo1Text().SetSelection(0, rangeBytes);
        SetLoopBar(1, 0);
        Click("SB_repeat");
        ASSERT_TRUE(PumpUntil([&] { return !window->readcycled()->isActive(); }, 60s));
        GbkString spoken;
        for (const GbkString& segment : voice.SpokenTexts())
            spoken += segment;
        EXPECT_EQ(spoken, Utf8ToGbk(expected.toStdString()));
    }
}

TEST_F(LoopReadingTest, RangeLoopWithoutSelectionOrOverABlankTextArmsNothing) {
    window->Memo1()->setPlainText(QString::fromUtf8("甲乙。"));
    Click("SB_repeat");
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "请选择所要朗读的内容!");
    EXPECT_FALSE(window->readcycled()->isActive());

    window->Memo1()->setPlainText(QStringLiteral("   \n  "));
    window->Memo1Text().SetSelection(0, 3);
    Click("SB_repeat");
    window->N22Click();
    Click("SB_repeat1");
    EXPECT_FALSE(window->readcycled()->isActive());
    EXPECT_EQ(desktop.messages.size(), 1u);
    EXPECT_FALSE(window->Reading().isreading);
}

TEST(LoopReadingWithoutVoiceTest, ToolbarSelectsTheWholeTextBeforeWarningAndTheMenuDoesNot) {
    AnsweringDesktop desktop;
    ProgramFolder folder{false};
    Tf_speaker window(MainWindowServices{folder.Path(), nullptr, nullptr, nullptr});
    window.Memo1()->setPlainText(QString::fromUtf8("甲乙。丙丁。"));
    window.Memo1Text().SetCaret(2);

    window.N22Click();
    EXPECT_EQ(window.Memo1Text().SelectionLength(), 0);
    window.findChild<QToolButton*>(QStringLiteral("SB_repeat1"))->click();
    EXPECT_EQ(window.Memo1Text().Caret(), 0);
    EXPECT_EQ(window.Memo1Text().SelectionLength(), 12);
    ASSERT_EQ(desktop.messages.size(), 2u);
    for (const auto& message : desktop.messages)
        EXPECT_EQ(message.text, "请选择语音引擎!");
    EXPECT_FALSE(window.readcycled()->isActive());
    EXPECT_FALSE(window.Reading().isreading);
}

TEST_F(LoopReadingTest, SetAsDefaultWritesBothValues) {
    SetLoopBar(7, 90);
    Click("btn_ok");
    const SettingsFile settings = SettingsFile::InFolder(folder.Path());
    namespace key = settings::System;
    EXPECT_EQ(settings.ReadInteger(key::kSection, key::Readtimes, 0), 7);
    EXPECT_EQ(settings.ReadInteger(key::kSection, key::Intervaltime, 0), 90);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "参数已设为默认！ ");
}

} // namespace
} // namespace sonvela
