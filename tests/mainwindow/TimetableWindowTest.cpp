// The broadcast timetable's windows on the offscreen platform: the list
// writes every change to draft.dat at once and announces it, shows drafts by
// their current names and marks entries that will be skipped; the entry
// editor refuses what cannot be saved with the reason; the log viewer shows
// the newest line first.
#include "TimetableWindow.h"

#include "AnnouncementLog.h"
#include "AnnouncementLogDialog.h"
#include "DataModule.h"
#include "TFadddraft.h"
#include "TestSpeechVoice.h"
#include "Tf_speaker.h"
#include "TimetableEntryDialog.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimeEdit>
#include <QTimer>
#include <gtest/gtest.h>
#include <set>

namespace sonvela {
namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TimetableRow Entry(const char* time, std::optional<std::int64_t> draft, const char* file = "") {
    TimetableRow entry;
    entry.stime = time;
    entry.draftId = draft;
    entry.fileName = file;
    return entry;
}

struct EditorCall {
    QString caption;
    TimetableRow entry;
};

class TimetableWindowTest : public ::testing::Test {
protected:
    TimetableWindowTest() : data(TDM::Connect(folder.Path())), table(data->Conn1) {}

    void Open() {
        TimetableWindowContext context;
        context.store = &data->Conn1;
        context.voices = [] {
            return std::vector<VoiceInfo>{
                {"cmn-latn-pinyin", "Chinese Mandarin (espeak-ng)", "cmn"},
                {"yue", "Chinese Cantonese (espeak-ng)", "yue"}};
        };
        context.logFile = folder.File("announcements.log");
        context.fileExists = [this](const std::string& file) { return files.count(file) > 0; };
        context.editEntry = [this](const QString& caption, const TimetableRow& entry) {
            edits.push_back({caption, entry});
            return editorAnswer;
        };
        context.now = [] { return QTime(9, 0); };
        window = std::make_unique<TimetableWindow>(std::move(context));
        QObject::connect(window.get(), &TimetableWindow::timetableChanged, window.get(),
                         [this] { ++changes; });
    }

    QTableWidget* Grid() const { return window->Grid(); }
    QString Cell(int row, int column) const { return Grid()->item(row, column)->text(); }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& message : desktop.messages)
            texts.push_back(message.text);
        return texts;
    }

    test::AnsweringDesktop desktop;
    test::ProgramFolder folder{false};
    std::unique_ptr<TDM> data;
    TimetableTable table;
    std::set<std::string> files;
    std::optional<TimetableRow> editorAnswer;
    std::vector<EditorCall> edits;
    std::unique_ptr<TimetableWindow> window;
    int changes = 0;
};

TEST_F(TimetableWindowTest, AddStoresTheEditorsEntryListsItSelectedAndAnnouncesIt) {
    Open();
    EXPECT_EQ(Grid()->rowCount(), 0);

    // Cancelled: nothing stored, nothing announced.
    window->AddClick();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].caption, Q("新增定时播报"));
    // A new entry proposes the first draft and every day.
    EXPECT_EQ(edits[0].entry.draftId, std::optional<std::int64_t>(1));
    EXPECT_EQ(edits[0].entry.stime, "09:00:00");
    EXPECT_EQ(edits[0].entry.days, kEveryDay);
    EXPECT_TRUE(table.Rows().empty());
    EXPECT_EQ(changes, 0);

    table.Add(Entry("08:55:00", 2));
    TimetableRow closing = Entry("21:50:00", 3);
    closing.days = kWeekdays;
    closing.passes = 2;
    closing.intervalSeconds = 15;
    closing.voice = "yue";
    editorAnswer = closing;
    window->AddClick();
    EXPECT_EQ(changes, 1);
    const auto rows = table.Rows();
    ASSERT_EQ(rows.size(), 2u);
    closing.id = rows[1].id;
    EXPECT_EQ(rows[1], closing);
    ASSERT_EQ(Grid()->rowCount(), 2);
    EXPECT_EQ(Grid()->currentRow(), 1);
    EXPECT_EQ(Cell(1, TimetableWindow::Time), Q("21:50:00"));
    EXPECT_EQ(Cell(1, TimetableWindow::Days), Q("工作日"));
    EXPECT_EQ(Cell(1, TimetableWindow::Source), Q("报价单"));
    EXPECT_EQ(Cell(1, TimetableWindow::Passes), Q("2 遍"));
    EXPECT_EQ(Cell(1, TimetableWindow::Interval), Q("15 秒"));
    EXPECT_EQ(Cell(1, TimetableWindow::Voice), Q("Chinese Cantonese (espeak-ng)"));
    EXPECT_EQ(Grid()->item(1, TimetableWindow::Enabled)->checkState(), Qt::Checked);
}

TEST_F(TimetableWindowTest, EditAndCopyWorkOnTheSelectedEntryAndAskForOneWhenNoneIs) {
    const std::int64_t opening = table.Add(Entry("08:55:00", 2));
    Open();
    window->EditClick();
    window->CopyClick();
    window->DeleteClick();
    EXPECT_TRUE(edits.empty());
    EXPECT_EQ(Messages(), (std::vector<std::string>{"请先在表中选中要修改的定时播报!",
                                                    "请先在表中选中要复制的定时播报!",
                                                    "请先在表中选中要删除的定时播报!"}));

    window->SelectEntry(opening);
    TimetableRow changed = Entry("08:50:00", 1);
    changed.id = 999; // the editor cannot move the change to another entry
    editorAnswer = changed;
    // Enter in the list is the edit button.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(Grid(), &enter);
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].caption, Q("修改定时播报"));
    EXPECT_EQ(edits[0].entry.id, opening);
    changed.id = opening;
    EXPECT_EQ(table.Rows(), std::vector<TimetableRow>{changed});
    EXPECT_EQ(Cell(0, TimetableWindow::Source), Q("基本介绍"));
    EXPECT_EQ(changes, 1);

    // The copy is opened in the editor as a new entry; the original stays.
    TimetableRow copy = changed;
    copy.stime = "12:00:00";
    editorAnswer = copy;
    window->CopyClick();
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(edits[1].caption, Q("复制定时播报"));
    EXPECT_EQ(edits[1].entry.id, 0);
    EXPECT_EQ(edits[1].entry.draftId, changed.draftId);
    const auto rows = table.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], changed);
    EXPECT_NE(rows[1].id, opening);
    EXPECT_EQ(rows[1].stime, "12:00:00");
    EXPECT_EQ(window->Ids()[static_cast<std::size_t>(Grid()->currentRow())], rows[1].id);
    EXPECT_EQ(changes, 2);
}

TEST_F(TimetableWindowTest, DeleteAsksFirstAndKeepsTheNextEntrySelected) {
    const std::int64_t first = table.Add(Entry("08:00:00", 1));
    const std::int64_t second = table.Add(Entry("09:00:00", 2));
    const std::int64_t third = table.Add(Entry("10:00:00", 3));
    Open();
    window->SelectEntry(second);
    desktop.answerYes = false;
    window->DeleteClick();
    ASSERT_EQ(desktop.questions.size(), 1u);
    EXPECT_EQ(desktop.questions[0].text, "真的要删除 09:00:00 的这条定时播报吗?");
    EXPECT_EQ(table.Rows().size(), 3u);
    EXPECT_EQ(changes, 0);

    desktop.answerYes = true;
    // The Delete key in the list is the delete button.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(Grid(), &press);
    ASSERT_EQ(desktop.questions.size(), 2u);
    EXPECT_EQ(window->Ids(), (std::vector<std::int64_t>{first, third}));
    EXPECT_EQ(table.Rows().size(), 2u);
    EXPECT_EQ(Grid()->currentRow(), 1);
    EXPECT_EQ(changes, 1);
    // The last row deleted: the one before it is selected.
    window->DeleteClick();
    EXPECT_EQ(window->Ids(), std::vector<std::int64_t>{first});
    EXPECT_EQ(Grid()->currentRow(), 0);
    window->DeleteClick();
    EXPECT_TRUE(table.Rows().empty());
    EXPECT_EQ(changes, 3);
}

TEST_F(TimetableWindowTest, EnableAndDisableAllAndTheTickInTheListAreStoredAtOnce) {
    table.Add(Entry("08:00:00", 1));
    table.Add(Entry("09:00:00", 2));
    Open();
    window->DisableAllClick();
    for (const auto& row : table.Rows())
        EXPECT_FALSE(row.enabled);
    EXPECT_EQ(Grid()->item(0, TimetableWindow::Enabled)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Grid()->item(1, TimetableWindow::Time)->foreground().color(),
              QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(changes, 1);
    // Nothing left to switch off: nothing to announce.
    window->DisableAllClick();
    EXPECT_EQ(changes, 1);

    Grid()->item(1, TimetableWindow::Enabled)->setCheckState(Qt::Checked);
    auto rows = table.Rows();
    EXPECT_FALSE(rows[0].enabled);
    EXPECT_TRUE(rows[1].enabled);
    EXPECT_EQ(changes, 2);
    EXPECT_NE(Grid()->item(1, TimetableWindow::Time)->foreground().color(),
              QColor(0x80, 0x80, 0x80));

    window->EnableAllClick();
    for (const auto& row : table.Rows())
        EXPECT_TRUE(row.enabled);
    EXPECT_EQ(Grid()->item(0, TimetableWindow::Enabled)->checkState(), Qt::Checked);
    EXPECT_EQ(changes, 3);
}

TEST_F(TimetableWindowTest, ARenamedDraftIsShownByItsNewNameAndADeletedOneOrMissingFileIsMarked) {
    table.Add(Entry("08:00:00", 2));
    table.Add(Entry("09:00:00", 3));
    table.Add(Entry("10:00:00", std::nullopt, "/铃声/上课.mp3"));
    table.Add(Entry("11:00:00", std::nullopt, "/铃声/下课.wav"));
    files.insert("/铃声/上课.mp3");
    Open();
    EXPECT_EQ(Cell(0, TimetableWindow::Source), Q("营业准备词"));
    EXPECT_EQ(Cell(2, TimetableWindow::Source), Q("上课.mp3"));
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(Grid()->item(row, TimetableWindow::Source)->icon().isNull()) << row;

    data->Conn1.Execute("update draft set name = ? where id = 2", {std::string("开门准备")});
    data->Conn1.Execute("delete from draft where id = 3");
    // Every showing reads the drafts again.
    window->show();
    EXPECT_EQ(Cell(0, TimetableWindow::Source), Q("开门准备"));
    EXPECT_TRUE(Grid()->item(0, TimetableWindow::Source)->icon().isNull());
    for (int row : {1, 3}) {
        QTableWidgetItem* source = Grid()->item(row, TimetableWindow::Source);
        EXPECT_FALSE(source->icon().isNull()) << row;
        EXPECT_EQ(source->foreground().color(), QColor(0xC0, 0x00, 0x00)) << row;
        EXPECT_TRUE(source->toolTip().contains(Q("跳过"))) << row;
    }
    EXPECT_EQ(Cell(1, TimetableWindow::Source), Q("（文稿已删除）"));
    EXPECT_EQ(Cell(3, TimetableWindow::Source), Q("下课.wav"));
    // The mark stays red when the entry is switched off.
    Grid()->item(1, TimetableWindow::Enabled)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(Grid()->item(1, TimetableWindow::Source)->foreground().color(),
              QColor(0xC0, 0x00, 0x00));
}

TEST_F(TimetableWindowTest, TheLogViewerShowsTheNewestLineFirstAndSaysWhenThereIsNone) {
    Open();
    window->LogClick();
    AnnouncementLogDialog* log = window->LogDialog();
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isVisible());
    EXPECT_FALSE(log->EmptyNote()->isHidden());
    EXPECT_TRUE(log->Grid()->isHidden());

    const AnnouncementLog file(folder.File("announcements.log"));
    ASSERT_TRUE(file.Append({"2026-12-07 08:55:00", "08:55:00 营业准备词", "已播放"}));
    ASSERT_TRUE(
        file.Append({"2026-12-07 21:50:00", "21:50:00 闭店", "已跳过：要读的文稿已被删除"}));
    log->findChild<QPushButton*>(QStringLiteral("LogRefresh"))->click();
    EXPECT_TRUE(log->EmptyNote()->isHidden());
    EXPECT_FALSE(log->Grid()->isHidden());
    ASSERT_EQ(log->Grid()->rowCount(), 2);
    EXPECT_EQ(log->Grid()->item(0, 0)->text(), Q("2026-12-07 21:50:00"));
    EXPECT_EQ(log->Grid()->item(0, 2)->text(), Q("已跳过：要读的文稿已被删除"));
    EXPECT_EQ(log->Grid()->item(1, 1)->text(), Q("08:55:00 营业准备词"));
    EXPECT_FALSE(log->Grid()->item(0, 1)->flags() & Qt::ItemIsEditable);

    // Closed and opened again: the lines written meanwhile are there.
    log->close();
    ASSERT_TRUE(file.Append({"2026-12-08 08:55:00", "08:55:00 营业准备词", "已播放"}));
    window->LogClick();
    ASSERT_EQ(log->Grid()->rowCount(), 3);
    EXPECT_EQ(log->Grid()->item(0, 0)->text(), Q("2026-12-08 08:55:00"));
}

// ---- The entry editor ------------------------------------------------------

class EntryDialogTest : public ::testing::Test {
protected:
    std::unique_ptr<TimetableEntryDialog> Open(const TimetableRow& entry) {
        EntryDialogChoices choices;
        choices.drafts = {{1, "基本介绍"}, {2, "营业准备词"}, {5, "闭店"}};
        choices.voices = {{"cmn-latn-pinyin", "Chinese Mandarin (espeak-ng)", "cmn"}};
        choices.chooseSoundFile = [this](const QString& start) {
            browsedFrom.push_back(start);
            return chosenFile;
        };
        choices.fileExists = [](const std::string& file) { return file.rfind("/shop/", 0) == 0; };
        return std::make_unique<TimetableEntryDialog>(Q("修改定时播报"), entry, choices);
    }

    // The message "确定" gave, or "" when the dialog was accepted.
    std::string Ok(TimetableEntryDialog& dialog) {
        const std::size_t before = desktop.messages.size();
        dialog.setResult(QDialog::Rejected);
        dialog.OkClick();
        if (dialog.result() == QDialog::Accepted) {
            EXPECT_EQ(desktop.messages.size(), before);
            return "";
        }
        EXPECT_EQ(desktop.messages.size(), before + 1);
        return desktop.messages.empty() ? "?" : desktop.messages.back().text;
    }

    test::AnsweringDesktop desktop;
    std::optional<QString> chosenFile;
    std::vector<QString> browsedFrom;
};

TEST_F(EntryDialogTest, ShowsTheEntryAndGivesBackWhatTheFieldsSay) {
    TimetableRow entry = Entry("21:50:30", 5);
    entry.id = 42;
    entry.days = DayBit(1) | DayBit(3) | DayBit(7);
    entry.passes = 3;
    entry.intervalSeconds = 20;
    entry.voice = "cmn-latn-pinyin";
    entry.enabled = false;
    auto dialog = Open(entry);
    EXPECT_EQ(dialog->windowTitle(), Q("修改定时播报"));
    EXPECT_EQ(dialog->TimeEdit()->time(), QTime(21, 50, 30));
    EXPECT_TRUE(dialog->DayBox(1)->isChecked());
    EXPECT_FALSE(dialog->DayBox(2)->isChecked());
    EXPECT_TRUE(dialog->DayBox(7)->isChecked());
    EXPECT_TRUE(dialog->DraftChoice()->isChecked());
    EXPECT_EQ(dialog->DraftList()->currentText(), Q("闭店"));
    EXPECT_FALSE(dialog->FileEdit()->isEnabled());
    EXPECT_EQ(dialog->VoiceList()->currentText(), Q("Chinese Mandarin (espeak-ng)"));
    EXPECT_TRUE(dialog->IntervalEdit()->isEnabled());
    EXPECT_EQ(dialog->Entry(), entry);

    dialog->PassesEdit()->setValue(1);
    EXPECT_FALSE(dialog->IntervalEdit()->isEnabled());
    dialog->findChild<QPushButton*>(QStringLiteral("EntryWeekdays"))->click();
    EXPECT_EQ(dialog->Entry().days, kWeekdays);
    dialog->findChild<QPushButton*>(QStringLiteral("EntryWeekend"))->click();
    EXPECT_EQ(dialog->Entry().days, DayBit(6) | DayBit(7));
    dialog->VoiceList()->setCurrentIndex(0);
    EXPECT_EQ(dialog->Entry().voice, "");
    EXPECT_EQ(Ok(*dialog), "");
}

TEST_F(EntryDialogTest, BrowsingChoosesAFileAndAnUninstalledVoiceIsKept) {
    TimetableRow entry = Entry("10:00:00", std::nullopt, "/shop/上课.mp3");
    entry.voice = "zh-yue-old";
    auto dialog = Open(entry);
    EXPECT_TRUE(dialog->FileChoice()->isChecked());
    EXPECT_FALSE(dialog->DraftList()->isEnabled());
    EXPECT_EQ(dialog->VoiceList()->currentText(), Q("zh-yue-old（未安装）"));
    EXPECT_EQ(dialog->Entry(), entry);

    // Cancelled: the file stays.
    dialog->findChild<QPushButton*>(QStringLiteral("EntryBrowse"))->click();
    EXPECT_EQ(browsedFrom, std::vector<QString>{Q("/shop/上课.mp3")});
    EXPECT_EQ(dialog->Entry().fileName, "/shop/上课.mp3");

    chosenFile = Q("/shop/下课.wav");
    dialog->DraftChoice()->setChecked(true);
    dialog->BrowseClick();
    EXPECT_TRUE(dialog->FileChoice()->isChecked());
    EXPECT_EQ(dialog->Entry().fileName, "/shop/下课.wav");
    EXPECT_EQ(dialog->Entry().draftId, std::nullopt);

    // Back to a draft: the file is not kept beside it.
    dialog->DraftChoice()->setChecked(true);
    dialog->DraftList()->setCurrentIndex(1);
    EXPECT_EQ(dialog->Entry().draftId, std::optional<std::int64_t>(2));
    EXPECT_EQ(dialog->Entry().fileName, "");
}

TEST_F(EntryDialogTest, OkRefusesWhatCannotBeSavedWithTheReason) {
    auto dialog = Open(Entry("08:55:00", 1));
    dialog->SetDays(0);
    EXPECT_EQ(Ok(*dialog), "请至少选择一天");
    dialog->findChild<QPushButton*>(QStringLiteral("EntryEveryDay"))->click();
    EXPECT_EQ(Ok(*dialog), "");

    dialog->FileChoice()->setChecked(true);
    EXPECT_EQ(Ok(*dialog), "请选择要读的文稿或声音文件");
    dialog->FileEdit()->setText(Q("/shop/说明.txt"));
    EXPECT_EQ(Ok(*dialog), "声音文件只能是 MP3 或 WAV 文件");
    dialog->FileEdit()->setText(Q("/tmp/铃声.mp3"));
    EXPECT_EQ(Ok(*dialog), "找不到声音文件 /tmp/铃声.mp3");
    dialog->FileEdit()->setText(Q("  /shop/铃声.MP3 "));
    EXPECT_EQ(Ok(*dialog), "");
    EXPECT_EQ(dialog->Entry().fileName, "/shop/铃声.MP3");
}

TEST_F(EntryDialogTest, AnEntryWhoseDraftWasDeletedMustChooseAnother) {
    auto dialog = Open(Entry("08:55:00", 3));
    EXPECT_TRUE(dialog->DraftChoice()->isChecked());
    EXPECT_EQ(dialog->DraftList()->currentIndex(), -1);
    EXPECT_TRUE(dialog->DraftList()->placeholderText().contains(Q("已删除")));
    EXPECT_EQ(Ok(*dialog), "请选择要读的文稿或声音文件");
    dialog->DraftList()->setCurrentIndex(2);
    EXPECT_EQ(Ok(*dialog), "");
    EXPECT_EQ(dialog->Entry().draftId, std::optional<std::int64_t>(5));
}

// ---- In the main window ----------------------------------------------------

TEST(TimetableInMainWindow, TheSettingsAndTrayMenusOpenTheWindowWhoseChangesTheWindowPassesOn) {
    test::AnsweringDesktop desktop;
    test::ProgramFolder folder{false};
    auto data = TDM::Connect(folder.Path());
    TimetableTable(data->Conn1).Add(Entry("08:55:00", 2));
    TestSpeechVoice voice{std::chrono::microseconds(1)};
    Tf_speaker window(MainWindowServices{folder.Path(), data.get(), &voice, nullptr});
    int changes = 0;
    QObject::connect(&window, &Tf_speaker::timetableChanged, &window, [&] { ++changes; });
    EXPECT_EQ(window.TimetableDialog(), nullptr);

    auto* settingsItem = window.findChild<QAction*>(QStringLiteral("TimetableItem"));
    auto* trayItem = window.findChild<QAction*>(QStringLiteral("TrayTimetableItem"));
    ASSERT_NE(settingsItem, nullptr);
    ASSERT_NE(trayItem, nullptr);
    EXPECT_EQ(settingsItem->text(), Q("播报时间表(&T)..."));
    auto* setupMenu = window.findChild<QMenu*>(QStringLiteral("N19"));
    ASSERT_NE(setupMenu, nullptr);
    EXPECT_TRUE(setupMenu->actions().contains(settingsItem));
    auto* trayMenu = window.findChild<QMenu*>(QStringLiteral("PopupMenu4"));
    ASSERT_NE(trayMenu, nullptr);
    EXPECT_TRUE(trayMenu->actions().contains(trayItem));

    settingsItem->trigger();
    TimetableWindow* timetable = window.TimetableDialog();
    ASSERT_NE(timetable, nullptr);
    EXPECT_TRUE(timetable->isVisible());
    EXPECT_EQ(timetable->Grid()->rowCount(), 1);
    EXPECT_EQ(timetable->Grid()->item(0, TimetableWindow::Source)->text(), Q("营业准备词"));
    timetable->close();
    trayItem->trigger();
    EXPECT_EQ(window.TimetableDialog(), timetable);
    EXPECT_TRUE(timetable->isVisible());

    timetable->DisableAllClick();
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(TimetableTable(data->Conn1).Rows()[0].enabled);
}

TEST(TimetableInMainWindow, ADraftRenamedInTheDraftListShowsInTheOpenTimetable) {
    test::AnsweringDesktop desktop;
    test::ProgramFolder folder{false};
    auto data = TDM::Connect(folder.Path());
    TimetableTable(data->Conn1).Add(Entry("08:55:00", 2));
    TestSpeechVoice voice{std::chrono::microseconds(1)};
    Tf_speaker window(MainWindowServices{folder.Path(), data.get(), &voice, nullptr});
    window.ShowTimetableWindow();
    QTableWidget* grid = window.TimetableDialog()->Grid();
    ASSERT_EQ(grid->item(0, TimetableWindow::Source)->text(), Q("营业准备词"));

    TFadddraft* editor = window.DraftEditor();
    ASSERT_NE(editor, nullptr);
    // An earlier test in this process may have ended the session: Qt then
    // lets no modal loop run until the application's own loop has run once.
    QTimer::singleShot(0, &window, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    QTimer::singleShot(0, editor, [editor] {
        editor->FormShow();
        editor->DBGrid1()->item(1, 1)->setText(Q("开门准备"));
        editor->Btn_closeClick();
    });
    window.N42Click();
    EXPECT_EQ(grid->item(0, TimetableWindow::Source)->text(), Q("开门准备"));
}

} // namespace
} // namespace sonvela
