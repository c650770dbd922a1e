// The main window's schedules and settings on the offscreen platform: the
// time announcement, the planned task and its warning, the system settings
// and add-symbol dialogs, the hot keys, the session's end and the Cantonese
// copy. Platform layers are doubles: nothing here grabs a key or powers a
// machine off.
#include "DataModule.h"
#include "GbkText.h"
#include "GlobalHotKeys.h"
#include "MemoGbkAdapter.h"
#include "PowerControl.h"
#include "PumpUntil.h"
#include "SessionEnd.h"
#include "SessionRecovery.h"
#include "SettingsFile.h"
#include "StatusNoticePanel.h"
#include "TFaddbiaodian.h"
#include "TFdelaytime.h"
#include "TestSpeechVoice.h"
#include "Tf_sch.h"
#include "Tf_shutprompt.h"
#include "Tf_speaker.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace sonvela {
namespace {

using namespace std::chrono_literals;
using Kind = TestSpeechVoice::CallKind;

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

GbkString G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

using sonvela::testing::PumpUntil;

void Pump(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

class FakeHotKeys final : public GlobalHotKeys {
public:
    bool Available() const override { return available; }
    bool Register(int key) override {
        asked.push_back(key);
        return !heldElsewhere.count(key);
    }
    void SetHandler(std::function<void(int)> h) override { handler = std::move(h); }

    bool available = true;
    std::set<int> heldElsewhere;
    std::vector<int> asked;
    std::function<void(int)> handler;
};

class FakePower final : public PowerControl {
public:
    void PowerOff() override { ++powerOffs; }
    int powerOffs = 0;
};

class FakeSessionEnd final : public SessionEndWatcher {
public:
    void SetHandler(std::function<void()> h) override { handler = std::move(h); }
    std::function<void()> handler;
};

class ScheduleWindowTest : public ::testing::Test {
protected:
    ScheduleWindowTest() { settings().WriteBool("System", "Showgrid", true); }

    ~ScheduleWindowTest() override {
        if (window) {
            window->SB_stopClick();
            PumpUntil([&] { return !window->Reading().isreading; });
        }
    }

    bool Idle() const {
        return !window->Reading().isreading &&
               window->findChild<QToolButton*>(QStringLiteral("SB_jexu"))->isEnabled();
    }

    SettingsFile settings() const { return SettingsFile::InFolder(folder.Path()); }

    void Open() {
        data = TDM::Connect(folder.Path());
        window = std::make_unique<Tf_speaker>(
            MainWindowServices{folder.Path(), data.get(), &voice, nullptr});
        window->SetScheduleClock([this] { return now; });
        window->StartPlatformServices({&keys, &power, &session, [this] {
                                           chimes.push_back(std::chrono::steady_clock::now());
                                       }});
        window->SetMusicToggle([this] { ++musicToggles; });
        window->show();
        // "。" ends a segment, with no pause after it.
        getdelaystring(window->Reading(), {{G("。"), 0, true}});
        voice.ClearCalls();
    }

    void SetClock(int h, int m, int s, int msec = 0) {
        now = QDateTime(QDate(2026, 12, 13), QTime(h, m, s, msec));
    }

    std::vector<GbkString> Async() const {
        std::vector<GbkString> texts;
        for (const auto& call : voice.Calls())
            if (call.kind == Kind::SpeakAsync)
                texts.push_back(call.text);
        return texts;
    }

    template <typename T> T* Child(const QObject* parent, const char* name) const {
        auto* child = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& message : desktop.messages)
            texts.push_back(message.text);
        return texts;
    }

    test::AnsweringDesktop desktop;
    test::ProgramFolder folder{false};
    TestSpeechVoice voice{std::chrono::microseconds(20)};
    FakeHotKeys keys;
    FakePower power;
    FakeSessionEnd session;
    std::vector<std::chrono::steady_clock::time_point> chimes;
    int musicToggles = 0;
    QDateTime now = QDateTime(QDate(2026, 12, 13), QTime(9, 0));
    std::unique_ptr<TDM> data;
    std::unique_ptr<Tf_speaker> window;
};

// ---- Time announcement ----------------------------------------------------

TEST_F(ScheduleWindowTest, SavedSlotChimesOnceAndSpeaksItsWordsLaterWithoutBlocking) {
    Open();
    ASSERT_TRUE(window->TellTimeTimer()->isActive());
    EXPECT_EQ(window->TellTimeTimer()->interval(), 200);
    QTableWidget* grid = window->Fdelaytime()->DBGridEh1();
    ASSERT_EQ(grid->rowCount(), 48);
    EXPECT_EQ(grid->item(24, 1)->text(), Q("12:00:00"));
    grid->item(24, 3)->setCheckState(Qt::Checked);
    Child<QToolButton>(window->Fdelaytime(), "BitBtn5")->click();
    EXPECT_EQ(Messages(), std::vector<std::string>{"保存成功!"});

    SetClock(12, 0, 0, 100);
    const auto start = std::chrono::steady_clock::now();
    for (int tick = 0; tick < 5; ++tick)
        window->telltime();
    // The ticks return at once: the window is never frozen for the words.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(window->StatusText(1), Q("2026-12-13 星期日 12:00:00"));
    ASSERT_EQ(chimes.size(), 1u);
    EXPECT_TRUE(Async().empty());

    ASSERT_TRUE(PumpUntil([&] { return !Async().empty(); }, 3s));
    const auto words = voice.Calls();
    auto spoke = std::find_if(words.begin(), words.end(),
                              [](const auto& call) { return call.kind == Kind::SpeakAsync; });
    EXPECT_GE(spoke->start - chimes[0], 1250ms);
    EXPECT_EQ(Async(), std::vector<GbkString>{G("现在是北京时间12:00正")});
    // In the main window's selected voice.
    EXPECT_EQ(voice.CurrentVoice(), 0);
    Pump(300ms);
    EXPECT_EQ(chimes.size(), 1u);
    EXPECT_EQ(Async().size(), 1u);
}

TEST_F(ScheduleWindowTest, EnablingASlotWithoutSavingStaysSilent) {
    Open();
    QTableWidget* grid = window->Fdelaytime()->DBGridEh1();
    grid->item(17, 3)->setCheckState(Qt::Checked); // 08:30:00
    SetClock(8, 30, 0);
    window->telltime();
    Pump(1500ms);
    EXPECT_TRUE(chimes.empty());
    EXPECT_TRUE(Async().empty());
    // The switch reached the table: the next start announces it.
    window.reset();
    Open();
    SetClock(8, 30, 0);
    window->telltime();
    EXPECT_EQ(chimes.size(), 1u);
}

// ---- Planned task ---------------------------------------------------------

TEST_F(ScheduleWindowTest, TaskDialogAtHalfPastTenAtNightProposesHalfPastMidnightAndRefuses) {
    Open();
    SetClock(22, 30, 0);
    Tf_sch* dialog = window->f_sch();
    dialog->PrepareShowing();
    EXPECT_EQ(dialog->windowTitle(), Q("计划任务_未执行"));
    EXPECT_EQ(dialog->TimeEdit1()->time(), QTime(0, 30));
    EXPECT_TRUE(dialog->RadioButton1()->isChecked());
    dialog->BitBtn1Click();
    EXPECT_EQ(Messages(), std::vector<std::string>{"计划时间不能少于当前时间!"});
    EXPECT_FALSE(window->Task().Armed());
    EXPECT_FALSE(window->Timer1()->isActive());
}

TEST_F(ScheduleWindowTest, ShutdownWarningComesBackEverySecondThenPowersOffOnce) {
    Open();
    SetClock(10, 0, 0);
    Tf_sch* dialog = window->f_sch();
    dialog->PrepareShowing();
    dialog->TimeEdit1()->setTime(QTime(10, 20));
    dialog->RadioButton2()->setChecked(true);
    dialog->BitBtn1Click();
    ASSERT_TRUE(window->Timer1()->isActive());
    dialog->PrepareShowing();
    EXPECT_EQ(dialog->windowTitle(), Q("计划任务_正执行"));
    EXPECT_TRUE(dialog->RadioButton2()->isChecked());

    Tf_shutprompt* prompt = window->f_shutprompt();
    SetClock(10, 14, 59);
    window->shutdown();
    EXPECT_FALSE(prompt->isVisible());
    SetClock(10, 15, 0);
    window->shutdown();
    ASSERT_TRUE(prompt->isVisible());
    EXPECT_EQ(prompt->Label2()->text(), Q("计算机将在10:20之后自动关机，"));
    Child<QPushButton>(prompt, "Button1")->click();
    EXPECT_FALSE(prompt->isVisible());
    SetClock(10, 15, 1);
    window->shutdown();
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_EQ(power.powerOffs, 0);

    SetClock(10, 20, 0);
    window->shutdown();
    EXPECT_EQ(power.powerOffs, 1);
    EXPECT_FALSE(window->Timer1()->isActive());
    // The exit command ran: its settings are written.
    EXPECT_EQ(settings().ReadInteger("Speaker", "Rate", -99), 2);
}

TEST_F(ScheduleWindowTest, StopTaskStopsTheReadingOnceAndLeavesLaterReadingsAlone) {
    Open();
    voice.SetTimePerByte(10ms);
    window->Memo1()->setPlainText(Q("一二三四。五六七八。九十一二。三四五六。七八九十。"));
    SetClock(10, 0, 0);
    window->f_sch()->PrepareShowing();
    window->f_sch()->TimeEdit1()->setTime(QTime(10, 20));
    window->f_sch()->BitBtn1Click();
    ASSERT_TRUE(window->Timer1()->isActive());

    window->SB_jexuClick();
    ASSERT_TRUE(PumpUntil([&] { return voice.SpeakStarts() >= 1; }));
    SetClock(10, 20, 0);
    window->shutdown();
    EXPECT_TRUE(window->Reading().stopreading);
    EXPECT_FALSE(window->Task().Armed());
    EXPECT_FALSE(window->Timer1()->isActive());
    EXPECT_FALSE(window->f_shutprompt()->isVisible());
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    Pump(300ms); // the stopped reader ends the segment it speaks

    // A reading started at 10:25 is read to its end.
    SetClock(10, 25, 0);
    voice.ClearCalls();
    window->SB_jexuClick();
    window->shutdown();
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(voice.SpokenTexts().size(), 5u);
    EXPECT_EQ(power.powerOffs, 0);
}

TEST_F(ScheduleWindowTest, EscInTheTaskDialogDisarmsAsCancelDoes) {
    Open();
    SetClock(10, 0, 0);
    Tf_sch* dialog = window->f_sch();
    dialog->show();
    dialog->TimeEdit1()->setTime(QTime(10, 20));
    dialog->BitBtn1Click();
    ASSERT_TRUE(window->Task().Armed());

    dialog->show();
    // Pressed in the time field, whence it travels up to the dialog.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog->TimeEdit1(), &escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(window->Task().Armed());
    EXPECT_FALSE(window->Timer1()->isActive());
}

// ---- System settings ------------------------------------------------------

TEST_F(ScheduleWindowTest, SettingsDialogPagesCaptionsAndReReadOnEveryShowing) {
    settings().WriteInteger("System", "Delay2", 1500);
    settings().WriteBool("System", "F9", false);
    Open();
    TFdelaytime* dialog = window->Fdelaytime();
    EXPECT_EQ(dialog->windowTitle(), Q("系统设置"));
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(dialog->isModal());
    QTabWidget* pages = dialog->PageControl1();
    ASSERT_EQ(pages->count(), 4);
    EXPECT_EQ(pages->tabText(0), Q("停顿及延时设置"));
    EXPECT_EQ(pages->tabText(1), Q("快捷键设置"));
    EXPECT_EQ(pages->tabText(2), Q("整点报时"));
    EXPECT_EQ(pages->tabText(3), Q("读音"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "chkf5")->text(), Q("是否设置F5  (播放或停止音乐)"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "chkf7")->text(), Q("是否设置F7  (从最前面朗读)"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "chkf9")->text(), Q("是否设置F9  (全文循环朗读)"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "chkf11")->text(), Q("是否设置F11 (停止朗读)"));

    window->sb_delayClick();
    auto* delay2 = Child<QSpinBox>(dialog, "S_delay2");
    EXPECT_EQ(delay2->value(), 1500);
    EXPECT_FALSE(Child<QCheckBox>(dialog, "chkf9")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(dialog, "chkf5")->isChecked());
    pages->setCurrentIndex(1);
    delay2->setValue(42);
    Child<QCheckBox>(dialog, "chkf9")->setChecked(true);
    dialog->hide();
    window->sb_delayClick();
    EXPECT_EQ(delay2->value(), 1500);
    EXPECT_FALSE(Child<QCheckBox>(dialog, "chkf9")->isChecked());
    EXPECT_EQ(pages->currentIndex(), 1);

    // Saving page 2 is for the next start only.
    Child<QCheckBox>(dialog, "chkf7")->setChecked(false);
    dialog->BitBtn3Click();
    EXPECT_EQ(Messages(), std::vector<std::string>{"设置已完成，需退出重新进入后才有效!"});
    EXPECT_FALSE(settings().ReadBool("System", "F7", true));
    EXPECT_TRUE(settings().ReadBool("System", "F5", false));
    EXPECT_EQ(window->RegisteredHotKeys(),
              (std::vector<int>{hotkeys::kF7, hotkeys::kF11, hotkeys::kF5}));
}

TEST_F(ScheduleWindowTest, AddedSymbolReachesTheReaderOnlyWhenPageOneIsSaved) {
    Open();
    TFdelaytime* dialog = window->Fdelaytime();
    TFaddbiaodian* add = window->Faddbiaodian();
    const int rows = dialog->DBGridEh2()->rowCount();
    ASSERT_EQ(rows, 9);

    add->Button1Click();
    add->Edit2()->setText(Q("※"));
    add->Button1Click();
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"请输入标点符号!", "该符号为系统功能符号，不能添加!"}));
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(desktop.messages[1].icon, MessageIcon::Warning);

    add->Edit1()->setText(Q("冒号"));
    add->Edit2()->setText(Q(":"));
    add->SpinEdit1()->setValue(250);
    add->Button1Click();
    ASSERT_EQ(dialog->DBGridEh2()->rowCount(), rows + 1);
    EXPECT_EQ(dialog->DBGridEh2()->item(rows, 1)->text(), Q(":"));
    EXPECT_EQ(add->Edit2()->text(), Q(":")); // kept for the next one
    EXPECT_FALSE(window->Reading().delaySymbols()->PauseOf(":"));

    Child<QSpinBox>(dialog, "S_delay2")->setValue(1234);
    desktop.messages.clear();
    dialog->BitBtn4Click();
    EXPECT_EQ(Messages(), std::vector<std::string>{"保存成功!"});
    EXPECT_EQ(window->Reading().delaySymbols()->PauseOf(":"), 250);
    EXPECT_EQ(window->Reading().signdelay, 1234);
    EXPECT_EQ(settings().ReadInteger("System", "Delay2", 0), 1234);
}

TEST_F(ScheduleWindowTest, GridEditsAreStoredAndTheThirtyFirstSymbolIsRefused) {
    Open();
    TFdelaytime* dialog = window->Fdelaytime();
    QTableWidget* grid = dialog->DBGridEh2();
    grid->item(0, 2)->setData(Qt::EditRole, 600);
    grid->item(1, 3)->setCheckState(Qt::Unchecked);
    const std::vector<DelaySymbol> stored = data->DelaySymbols();
    EXPECT_EQ(stored[0].pauseMs, 600);
    EXPECT_FALSE(stored[1].candelete);

    // Delete asks first; No keeps the row.
    grid->setCurrentCell(2, 0);
    desktop.answerYes = false;
    dialog->D1Click();
    ASSERT_EQ(desktop.questions.size(), 1u);
    EXPECT_EQ(desktop.questions[0].text, "真的要删除这条记录吗?");
    EXPECT_EQ(grid->rowCount(), 9);
    const QString third = grid->item(2, 1)->text();
    desktop.answerYes = true;
    dialog->D1Click();
    ASSERT_EQ(grid->rowCount(), 8);
    EXPECT_NE(grid->item(2, 1)->text(), third);

    TFaddbiaodian* add = window->Faddbiaodian();
    for (int i = 0; grid->rowCount() < 30; ++i) {
        add->Edit2()->setText(QString(QChar(u'a' + i)));
        add->Button1Click();
    }
    desktop.messages.clear();
    add->Edit2()->setText(Q("z"));
    add->Button1Click();
    EXPECT_EQ(grid->rowCount(), 30);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Warning);
}

// ---- Hot keys -------------------------------------------------------------

TEST_F(ScheduleWindowTest, KeysAreRegisteredInOrderAndAKeyHeldElsewhereIsSkippedSilently) {
    keys.heldElsewhere = {hotkeys::kF9};
    Open();
    EXPECT_EQ(keys.asked,
              (std::vector<int>{hotkeys::kF7, hotkeys::kF9, hotkeys::kF11, hotkeys::kF5}));
    EXPECT_EQ(window->RegisteredHotKeys(),
              (std::vector<int>{hotkeys::kF7, hotkeys::kF11, hotkeys::kF5}));
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(ScheduleWindowTest, WithoutGlobalKeysTheProgramStartsAndSaysSoOnce) {
    keys.available = false;
    Open();
    EXPECT_TRUE(keys.asked.empty());
    EXPECT_FALSE(window->StatusText(3).isEmpty());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(ScheduleWindowTest, TheNoticeGivesTheFourthPanelBackToTheMusic) {
    keys.available = false;
    Open();
    EXPECT_EQ(window->StatusText(3), Q("此桌面不支持全局快捷键"));
    auto* timer = window->findChild<QTimer*>(QStringLiteral("noticeTimer"));
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(timer->isActive());
    timer->setInterval(20);
    EXPECT_TRUE(PumpUntil([&] { return window->StatusText(3).isEmpty(); }));
}

TEST(StatusNoticePanel, NoticesTakeTurnsThenTheTrackComesBack) {
    QLabel label;
    StatusNoticePanel panel(&label, nullptr);
    panel.SetTrackText(QStringLiteral("/music/a.mp3"));
    EXPECT_EQ(label.text(), QStringLiteral("/music/a.mp3"));

    panel.ShowNotice(QStringLiteral("first"));
    panel.ShowNotice(QStringLiteral("second"));
    panel.SetTrackText(QStringLiteral("/music/b.mp3")); // played meanwhile
    EXPECT_EQ(label.text(), QStringLiteral("first"));
    panel.NoticeTimer()->setInterval(20);
    EXPECT_TRUE(PumpUntil([&] { return label.text() == QStringLiteral("second"); }));
    EXPECT_TRUE(PumpUntil([&] { return label.text() == QStringLiteral("/music/b.mp3"); }));
    EXPECT_FALSE(panel.NoticeTimer()->isActive());
}

TEST_F(ScheduleWindowTest, KeysActByTheirCodeAndOnlyWhenSwitchedOnAtStart) {
    settings().WriteBool("System", "F5", false);
    Open();
    voice.SetTimePerByte(10ms);
    window->Memo1()->setPlainText(Q("一二三四。五六七八。九十一二。三四五六。七八九十。"));
    int loops = 0;
    QObject::connect(window->findChild<QAction*>(QStringLiteral("N22")), &QAction::triggered,
                     window.get(), [&] { ++loops; });

    // F7 during a reading: Stop, then reading from the top.
    window->SB_jexuClick();
    ASSERT_TRUE(PumpUntil([&] { return voice.SpokenTexts().size() >= 2; }));
    keys.handler(hotkeys::kF7);
    // The stopped reader ends its segment first; then reading starts again
    // from the top and goes to the end.
    ASSERT_TRUE(PumpUntil([&] {
        const auto texts = voice.SpokenTexts();
        return texts.size() >= 7 && texts.back() == G("七八九十。");
    }));
    EXPECT_TRUE(PumpUntil([&] { return Idle(); }));
    const auto spoken = voice.SpokenTexts();
    EXPECT_EQ(spoken[spoken.size() - 5], G("一二三四。"));
    ASSERT_LE(spoken.size(), 8u);
    EXPECT_EQ(std::vector<GbkString>(spoken.end() - 5, spoken.end()),
              (std::vector<GbkString>{G("一二三四。"), G("五六七八。"), G("九十一二。"),
                                      G("三四五六。"), G("七八九十。")}));

    // F11: Stop.
    window->SB_jexuClick();
    ASSERT_TRUE(PumpUntil([&] { return voice.SpeakStarts() >= 1; }));
    keys.handler(hotkeys::kF11);
    EXPECT_TRUE(window->Reading().stopreading);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));

    // F9: Stop, then the full-text loop.
    keys.handler(hotkeys::kF9);
    ASSERT_TRUE(PumpUntil([&] { return loops == 1; }));
    // F5 was off at start: the music is left alone.
    keys.handler(hotkeys::kF5);
    EXPECT_EQ(musicToggles, 0);
    keys.handler(0);
}

TEST_F(ScheduleWindowTest, F5TogglesTheMusic) {
    Open();
    keys.handler(hotkeys::kF5);
    keys.handler(hotkeys::kF5);
    EXPECT_EQ(musicToggles, 2);
}

// ---- Session end ----------------------------------------------------------

TEST_F(ScheduleWindowTest, SessionEndWritesTheSettingsAndKeepsAModifiedText) {
    Open();
    window->Memo1()->setPlainText(Q("未保存的价目表\n第二行"));
    ASSERT_TRUE(window->EditorModified());
    ASSERT_TRUE(session.handler);
    session.handler();
    EXPECT_EQ(power.powerOffs, 0);
    EXPECT_EQ(settings().ReadInteger("Speaker", "Rate", -99), 2);
    EXPECT_EQ(settings().ReadInteger("System", "default_volume", -1), 40);
    ASSERT_TRUE(std::filesystem::exists(RecoveryFilePath(folder.Path())));

    window.reset();
    Open();
    EXPECT_EQ(window->Memo1()->toPlainText(), Q("未保存的价目表\n第二行"));
    EXPECT_TRUE(window->EditorModified());
    // Offered, not taken: it stays until the text is saved or dropped.
    EXPECT_TRUE(std::filesystem::exists(RecoveryFilePath(folder.Path())));
}

TEST_F(ScheduleWindowTest, SessionEndWithAnUnchangedTextKeepsNoRecoveryFile) {
    Open();
    window->SetEditorModified(false);
    session.handler();
    EXPECT_FALSE(std::filesystem::exists(RecoveryFilePath(folder.Path())));
    EXPECT_EQ(settings().ReadInteger("Speaker", "Volume", -1), 100);
}

// ---- Cantonese ------------------------------------------------------------

TEST_F(ScheduleWindowTest, CantoneseReadingSpeaksTheTraditionalCopyAndKeepsTheModifiedMark) {
    Open();
    window->Memo1()->setPlainText(Q("说话。"));
    ASSERT_TRUE(window->EditorModified());
    window->findChild<QComboBox*>(QStringLiteral("flatComboBox1"))->setCurrentIndex(1);
    window->SB_jexuClick();
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(window->Memo2()->toPlainText(), Q("說話。"));
    EXPECT_EQ(voice.SpokenTexts(), std::vector<GbkString>{G("說話。")});
    EXPECT_EQ(window->Memo1()->toPlainText(), Q("说话。"));
    EXPECT_TRUE(window->EditorModified());
}

TEST_F(ScheduleWindowTest, HiddenCopySelectsWhatTheEditorSelectsAtEveryOffset) {
    Open();
    window->Memo1()->setPlainText(Q("门开了，Price 12元。\n电灯亮了😀！说话。"));
    window->conv_yyClick();
    MemoGbkAdapter copy(window->Memo2());
    MemoGbkAdapter& text = window->Memo1Text();
    ASSERT_EQ(copy.TotalBytes(), text.TotalBytes());
    for (std::int64_t offset = 0; offset <= text.TotalBytes(); ++offset)
        ASSERT_EQ(copy.PositionOfOffset(offset), text.PositionOfOffset(offset)) << offset;
    text.SetSelection(0, 8);
    copy.SetSelection(0, 8);
    EXPECT_EQ(GbkToUtf8(copy.SelectedText()), "門開了，");
    EXPECT_EQ(GbkToUtf8(text.SelectedText()), "门开了，");
}

TEST_F(ScheduleWindowTest, LineOfACantoneseReadingIsConvertedAlone) {
    Open();
    window->findChild<QComboBox*>(QStringLiteral("flatComboBox1"))->setCurrentIndex(1);
    window->Memo1()->setPlainText(Q("电灯亮了。"));
    window->Memo1Text().SetSelection(0, 8);
    window->N2Click();
    EXPECT_EQ(Async(), std::vector<GbkString>{G("電燈亮了")});
    EXPECT_TRUE(window->Memo2()->toPlainText().isEmpty());
}

} // namespace
} // namespace sonvela
