#include "Tf_speaker.h"

#include "DataModule.h"
#include "GbkText.h"
#include "SettingsFile.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextDocument>
#include <QTextOption>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace sonvela {
namespace {

using test::AnsweringDesktop;
using test::ProgramFolder;
using test::RecordingVoice;
using test::ScriptedDialogs;

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QStringList L(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

// The object names of a menu's items in order, "-" for a separator.
QStringList ItemNames(const QMenu* menu) {
    QStringList names;
    for (const QAction* action : menu->actions())
        names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    return names;
}

class MainWindowTest : public ::testing::Test {
protected:
    explicit MainWindowTest(bool withSamples = false) : folder(withSamples) {}

    std::unique_ptr<Tf_speaker> Open() {
        data = TDM::Connect(folder.Path());
        return std::make_unique<Tf_speaker>(
            MainWindowServices{folder.Path(), data.get(), &voice, &dialogs});
    }

    SettingsFile Settings() const { return SettingsFile::InFolder(folder.Path()); }

    template <typename T> static T* Child(const QObject* window, const char* name) {
        auto* child = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    AnsweringDesktop desktop;
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    RecordingVoice voice;
    std::unique_ptr<TDM> data;
};

TEST_F(MainWindowTest, ToolBarHoldsTheFifteenButtonsInOrderWithTheirHints) {
    auto window = Open();
    EXPECT_EQ(window->windowTitle(), Q("Sonvela(普及版)"));
    auto* bar = Child<QToolBar>(window.get(), "ToolBar1");
    QStringList names;
    QStringList hints;
    for (QAction* action : bar->actions()) {
        QWidget* button = bar->widgetForAction(action);
        names << button->objectName();
        hints << button->toolTip();
        EXPECT_EQ(button->size(), QSize(31, 30));
        EXPECT_EQ(static_cast<QToolButton*>(button)->iconSize(), QSize(24, 24));
        EXPECT_FALSE(static_cast<QToolButton*>(button)->icon().isNull());
    }
    EXPECT_EQ(names, L({"SB_new", "SB_open", "SB_save", "SB_jexu", "SB_play", "SB_stop",
                        "SB_repeat1", "SB_repeat", "SB_top", "SB_bott", "sb_delay", "SB_time",
                        "SB_schedule", "SB_panel", "SB_close"}));
    EXPECT_EQ(hints,
              QStringList({Q("新建"), Q("导入文章"), Q("保存"), Q("从最面开始朗读"),
                           Q("当前位置朗读"), Q("停止"), Q("全文循环朗读"), Q("选择范围循环朗读"),
                           Q("移到文章最前面"), Q("移到文章最后面"), Q("系统设置"),
                           Q("插入日期时间"), Q("定时任务"), Q("显示或关闭面板"), Q("关闭")}));
}

TEST_F(MainWindowTest, MenusAndContextMenusListTheirItemsInOrder) {
    auto window = Open();
    QStringList titles;
    QList<QStringList> items;
    QStringList captions;
    for (QAction* menuAction : window->menuBar()->actions()) {
        titles << menuAction->text();
        items << ItemNames(menuAction->menu());
        for (QAction* item : menuAction->menu()->actions())
            if (!item->isSeparator())
                captions << item->text();
    }
    EXPECT_EQ(titles, QStringList({Q("文件(&F)"), Q("编辑(&E)"), Q("设置(&S)"), Q("帮助(&H)")}));
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0], L({"N35", "N11", "N12", "N21", "-", "N_export", "-", "C1"}));
    EXPECT_EQ(items[1], L({"CCtrlC2", "VCtrlV3", "XCtrlX1", "ZCtrlZ1", "A1"}));
    EXPECT_EQ(items[2], L({"N23", "N25", "-", "N27", "N28", "N29", "-", "N40", "TimetableItem"}));
    EXPECT_EQ(items[3], L({"N32", "-", "N31", "N44"}));
    EXPECT_EQ(captions, QStringList({Q("新建  (&N)"),
                                     Q("打开  (&O)"),
                                     Q("保存  (&S)"),
                                     Q("另存为(&A)"),
                                     Q("导出为音频文件…(&E)"),
                                     Q("退出 (&C)"),
                                     Q("复制 (&C)  Ctrl+C"),
                                     Q("粘贴 (&V)  Ctrl+V"),
                                     Q("剪切 (&X)  Ctrl+X"),
                                     Q("撤销 (&Z)  Ctrl+Z"),
                                     Q("全选 (&A)  Ctrl+A "),
                                     Q("正文字体   (&F)"),
                                     Q("正文背景色 (&B)"),
                                     Q("左对齐     (&L)"),
                                     Q("居中       (&C)"),
                                     Q("右对齐     (&R)"),
                                     Q("系统设置"),
                                     Q("播报时间表(&T)..."),
                                     Q("关于(&A)"),
                                     Q("帮助(&H)"),
                                     Q("语音信息")}));
    EXPECT_TRUE(Child<QAction>(window.get(), "N27")->isChecked());
    EXPECT_FALSE(Child<QAction>(window.get(), "N28")->isChecked());

    auto* popup = Child<QMenu>(window.get(), "PopupMenu1");
    EXPECT_EQ(ItemNames(popup), L({"N1", "L1", "N2", "N36", "N22", "-", "N3", "N41", "-",
                                   "N_export1", "-", "HCtrlH1", "VCtrlV1", "N10", "-", "Y1"}));
    EXPECT_EQ(Child<QAction>(window.get(), "N41")->text(), Q("从上次位置朗读(&R)"));
    EXPECT_EQ(Child<QAction>(window.get(), "Y1")->text(), Q("插入延时符号  (&Y)"));

    auto* tray = Child<QMenu>(window.get(), "PopupMenu4");
    EXPECT_EQ(ItemNames(tray), L({"N5", "N18", "N_export2", "TrayTimetableItem", "N7"}));
    EXPECT_EQ(Child<QAction>(window.get(), "N5")->text(), Q("显示Sonvela (&S)"));
    EXPECT_EQ(Child<QAction>(window.get(), "N18")->text(), Q("隐藏Sonvela (&H)"));
    EXPECT_EQ(Child<QAction>(window.get(), "N7")->text(), Q("退出  (&C)"));
    EXPECT_EQ(window->TrayIcon()->toolTip(), Q("Sonvela"));
}

TEST_F(MainWindowTest, PanelsHoldTheirControlsWithCaptionsLimitsAndInitialValues) {
    auto window = Open();
    EXPECT_EQ(Child<QWidget>(window.get(), "Panel2")->width(), 170);
    EXPECT_EQ(Child<QGroupBox>(window.get(), "GroupBox1")->title(), Q("朗读选项"));
    EXPECT_EQ(Child<QGroupBox>(window.get(), "GroupBox3")->title(), Q("历史打开文件"));
    EXPECT_EQ(Child<QGroupBox>(window.get(), "GroupBox2")->title(), Q("MP3背景音乐播放"));
    EXPECT_EQ(Child<QLabel>(window.get(), "StaticText1")->text(), Q("语音引擎:"));
    EXPECT_EQ(Child<QLabel>(window.get(), "StaticText2")->text(), Q("语速:"));
    EXPECT_EQ(Child<QLabel>(window.get(), "StaticText3")->text(), Q("音量:"));
    EXPECT_FALSE(Child<QComboBox>(window.get(), "flatComboBox1")->isEditable());

    auto* rate = Child<QSlider>(window.get(), "TrackBar2");
    EXPECT_EQ(rate->minimum(), -10);
    EXPECT_EQ(rate->maximum(), 15);
    EXPECT_EQ(rate->tickPosition(), QSlider::NoTicks);
    auto* volume = Child<QSlider>(window.get(), "TrackBar1");
    EXPECT_EQ(volume->minimum(), 0);
    EXPECT_EQ(volume->maximum(), 100);

    auto* passes = Child<QSpinBox>(window.get(), "SpinEdit1");
    EXPECT_EQ(std::make_pair(passes->minimum(), passes->maximum()), std::make_pair(1, 1000000));
    auto* interval = Child<QSpinBox>(window.get(), "SpinEdit2");
    EXPECT_EQ(std::make_pair(interval->minimum(), interval->maximum()),
              std::make_pair(1, 10000000));
    EXPECT_EQ(Child<QLabel>(window.get(), "Label4")->text(), Q("循环次数"));
    EXPECT_EQ(Child<QLabel>(window.get(), "Label3")->text(), Q("间隔秒数"));
    EXPECT_EQ(Child<QToolButton>(window.get(), "btn_ok")->text(), Q("设为默认"));
    EXPECT_EQ(Child<QCheckBox>(window.get(), "chk_showgrid")->text(), Q("显示表格"));
    EXPECT_EQ(Child<QToolButton>(window.get(), "SpeedButton1")->toolTip(), Q("Close"));

    EXPECT_EQ(Child<QSpinBox>(window.get(), "bj_v")->maximum(), 100);
    EXPECT_EQ(Child<QSpinBox>(window.get(), "bj_v1")->toolTip(), Q("朗读时背景音量"));
    auto* mode = Child<QComboBox>(window.get(), "ComBox1");
    ASSERT_EQ(mode->count(), 2);
    EXPECT_EQ(mode->itemText(0), Q("顺序播放"));
    EXPECT_EQ(mode->itemText(1), Q("随机播放"));
    for (const char* name : {"bj_play", "bj_stop", "bj_next", "bj_prev", "bj_ok", "BJListBox1"})
        Child<QWidget>(window.get(), name);

    // The find panel is laid out and starts collapsed.
    EXPECT_TRUE(Child<QWidget>(window.get(), "Panel7")->isHidden());
    EXPECT_FALSE(Child<QWidget>(window.get(), "Image1")->isHidden());
    EXPECT_TRUE(Child<QWidget>(window.get(), "Image2")->isHidden());
    EXPECT_EQ(Child<QCheckBox>(window.get(), "CheckBox3")->text(), Q("向上查找"));
    EXPECT_EQ(Child<QWidget>(window.get(), "SpeedButton4")->toolTip(), Q("替换以下"));
    window->Image1Click();
    EXPECT_FALSE(Child<QWidget>(window.get(), "Panel7")->isHidden());
    EXPECT_TRUE(Child<QWidget>(window.get(), "Image1")->isHidden());

    // The editor and its hidden copy.
    QPlainTextEdit* memo = window->Memo1();
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(0, 128, 128));
    EXPECT_EQ(memo->palette().color(QPalette::Text), QColor(255, 255, 255));
    EXPECT_EQ(memo->font().pointSize(), 12);
    EXPECT_TRUE(window->Memo2()->isHidden());

    // The draft grid's columns and the status bar's panels.
    auto* grid = Child<QTableWidget>(window.get(), "SGrid1");
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), Q("No"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), Q("主题"));
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), Q("简述"));
    EXPECT_EQ(grid->columnWidth(0), 30);
    EXPECT_EQ(grid->columnWidth(1), 200);
    EXPECT_TRUE(grid->isColumnHidden(3));
    EXPECT_EQ(grid->rowCount(), data->Q_draft1.RecordCount());
    if (grid->rowCount() > 0) {
        data->Q_draft1.First();
        EXPECT_EQ(grid->item(0, 0)->text(), Q("1"));
        EXPECT_EQ(grid->item(0, 1)->text().toStdString(), data->Q_draft1.AsUtf8("name"));
        EXPECT_EQ(grid->item(0, 3)->text().toLongLong(), data->Q_draft1.AsInteger("id"));
    }
    EXPECT_EQ(Child<QLabel>(window.get(), "StatusPanel0")->width(), 100);
    EXPECT_EQ(Child<QLabel>(window.get(), "StatusPanel1")->width(), 200);
    EXPECT_EQ(Child<QLabel>(window.get(), "StatusPanel2")->width(), 400);
}

TEST_F(MainWindowTest, CloseBoxHidesAndTheTrayShowsAndHidesAgain) {
    auto window = Open();
    window->show();
    EXPECT_EQ(window->ShowHandlingRuns(), 1);
    EXPECT_EQ(Child<QTableWidget>(window.get(), "SGrid1")->columnWidth(2), window->width() - 460);

    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isHidden());
    EXPECT_TRUE(Child<QAction>(window.get(), "N18")->isChecked());

    window->iconclick(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->ShowHandlingRuns(), 2); // the tray's show runs the show handling
    window->iconclick(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window->isHidden());
    window->iconclick(QSystemTrayIcon::MiddleClick); // ignored
    EXPECT_TRUE(window->isHidden());
    window->iconclick(QSystemTrayIcon::DoubleClick); // a quick second click toggles too
    EXPECT_TRUE(window->isVisible());
    window->iconclick(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window->isHidden());

    const int runs = window->ShowHandlingRuns();
    Child<QAction>(window.get(), "N5")->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(Child<QAction>(window.get(), "N5")->isChecked());
    EXPECT_FALSE(Child<QAction>(window.get(), "N18")->isChecked());
    EXPECT_EQ(window->ShowHandlingRuns(), runs); // the menu's show does not
    Child<QAction>(window.get(), "N18")->trigger();
    EXPECT_TRUE(window->isHidden());
}

TEST_F(MainWindowTest, AlignmentSelectsTheWholeTextAndIsNotSaved) {
    auto window = Open();
    window->Memo1()->setPlainText(Q("第一行\n第二行"));
    Child<QAction>(window.get(), "N28")->trigger();
    const QTextCursor cursor = window->Memo1()->textCursor();
    EXPECT_EQ(cursor.selectionStart(), 0);
    EXPECT_EQ(cursor.selectionEnd(), window->Memo1()->document()->characterCount() - 1);
    EXPECT_EQ(window->Memo1()->document()->defaultTextOption().alignment(), Qt::AlignHCenter);
    EXPECT_FALSE(Child<QAction>(window.get(), "N27")->isChecked());
    EXPECT_TRUE(Child<QAction>(window.get(), "N28")->isChecked());

    Child<QAction>(window.get(), "N29")->trigger();
    EXPECT_EQ(window->Memo1()->document()->defaultTextOption().alignment(), Qt::AlignRight);
    window->SetEditorModified(false);
    Child<QAction>(window.get(), "N27")->trigger();
    EXPECT_FALSE(window->EditorModified()); // aligning changes no text
    EXPECT_FALSE(Child<QAction>(window.get(), "N28")->isChecked());
    window.reset();
    auto again = Open();
    EXPECT_EQ(again->Memo1()->document()->defaultTextOption().alignment(), Qt::AlignLeft);
    EXPECT_TRUE(Child<QAction>(again.get(), "N27")->isChecked());
}

TEST_F(MainWindowTest, FontCommandWritesTheFourKeysEvenWhenCancelled) {
    auto window = Open();
    const SettingsFile settings = Settings();
    Child<QAction>(window.get(), "N23")->trigger();
    ASSERT_TRUE(dialogs.fontShownWith);
    EXPECT_EQ(dialogs.fontShownWith->color, QColor(255, 255, 255));
    EXPECT_EQ(settings.ReadString("Memo", "fontcolor", ""), "clWhite");
    EXPECT_EQ(settings.ReadInteger("Memo", "fontsize", 0), 12);
    EXPECT_EQ(settings.ReadString("Memo", "fontname", "?"),
              Utf8ToGbk(window->Memo1()->font().family().toStdString()));
    EXPECT_EQ(settings.ReadString("Memo", "FontStyle", ""), "[]");

    QFont chosen = window->Memo1()->font();
    chosen.setPointSize(20);
    chosen.setItalic(true);
    dialogs.fontAnswer = FontChoice{chosen, QColor(0x12, 0x34, 0x56)};
    Child<QAction>(window.get(), "N23")->trigger();
    EXPECT_EQ(window->Memo1()->font().pointSize(), 20);
    EXPECT_EQ(window->Memo1()->palette().color(QPalette::Text), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(settings.ReadString("Memo", "fontcolor", ""), "$00563412");
    EXPECT_EQ(settings.ReadInteger("Memo", "fontsize", 0), 20);
    EXPECT_EQ(settings.ReadString("Memo", "FontStyle", ""), "[fsItalic]");
    EXPECT_FALSE(window->EditorModified()); // the look of the text is no change of it

    // The next start applies them.
    window.reset();
    auto again = Open();
    EXPECT_EQ(again->Memo1()->font().pointSize(), 20);
    EXPECT_TRUE(again->Memo1()->font().italic());
    EXPECT_EQ(again->Memo1()->palette().color(QPalette::Text), QColor(0x12, 0x34, 0x56));
}

TEST_F(MainWindowTest, BackgroundColourIsKeptWhenCancelledAndWrittenWhenChosen) {
    auto window = Open();
    const SettingsFile settings = Settings();
    Child<QAction>(window.get(), "N25")->trigger();
    EXPECT_EQ(dialogs.colorShownWith, QColor(0, 128, 128));
    EXPECT_EQ(settings.ReadString("Memo", "memocolor", ""), "clTeal");

    dialogs.colorAnswer = QColor(0xC0, 0xDC, 0xC0);
    Child<QAction>(window.get(), "N25")->trigger();
    EXPECT_EQ(window->Memo1()->palette().color(QPalette::Base), QColor(0xC0, 0xDC, 0xC0));
    EXPECT_EQ(settings.ReadString("Memo", "memocolor", ""), "clMoneyGreen");
    dialogs.colorAnswer = QColor(1, 2, 3);
    Child<QAction>(window.get(), "N25")->trigger();
    EXPECT_EQ(settings.ReadString("Memo", "memocolor", ""), "$00030201");
    window.reset();
    EXPECT_EQ(Open()->Memo1()->palette().color(QPalette::Base), QColor(1, 2, 3));
}

TEST_F(MainWindowTest, CaretPanelAndLoopBarCommands) {
    auto window = Open();
    window->Memo1()->setPlainText(Q("ab中文\n末行"));
    window->SB_bottClick();
    EXPECT_EQ(window->Memo1Text().Caret(), 11);
    EXPECT_EQ(window->Memo1()->textCursor().position(), 7);
    window->SB_topClick();
    EXPECT_EQ(window->Memo1Text().Caret(), 0);
    // The new text set the panel to its start; neither command updates it.
    EXPECT_EQ(window->StatusText(0), Q("   1:1"));

    window->show();
    auto* panel = Child<QWidget>(window.get(), "Panel2");
    window->SB_panelClick();
    EXPECT_TRUE(panel->isHidden());
    window->SB_panelClick();
    EXPECT_FALSE(panel->isHidden());
    Child<QToolButton>(window.get(), "SpeedButton1")->click();
    EXPECT_TRUE(Child<QWidget>(window.get(), "Panel9")->isHidden());

    window->btn_disable();
    for (const char* name :
         {"SB_new", "SB_open", "SB_save", "SB_jexu", "SB_play", "SB_repeat", "SB_repeat1", "SB_top",
          "SB_bott", "SB_time", "sb_delay", "btn_ok", "SpinEdit1", "SpinEdit2"})
        EXPECT_FALSE(Child<QWidget>(window.get(), name)->isEnabled()) << name;
    for (const char* name : {"SB_stop", "SB_close", "SB_panel", "SB_schedule", "Memo1"})
        EXPECT_TRUE(Child<QWidget>(window.get(), name)->isEnabled()) << name;
    window->EditorOnUiThread().EnableReadingControls();
    EXPECT_TRUE(Child<QWidget>(window.get(), "SB_jexu")->isEnabled());
}

TEST_F(MainWindowTest, EditingCommandsActOnTheEditor) {
    auto window = Open();
    QPlainTextEdit* memo = window->Memo1();
    memo->setPlainText(Q("甲乙丙"));
    Child<QAction>(window.get(), "A1")->trigger();
    EXPECT_EQ(memo->textCursor().selectedText(), Q("甲乙丙"));
    Child<QAction>(window.get(), "XCtrlX1")->trigger();
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    Child<QAction>(window.get(), "VCtrlV3")->trigger();
    Child<QAction>(window.get(), "VCtrlV1")->trigger();
    EXPECT_EQ(memo->toPlainText(), Q("甲乙丙甲乙丙"));
    Child<QAction>(window.get(), "ZCtrlZ1")->trigger();
    EXPECT_EQ(memo->toPlainText(), Q("甲乙丙"));
    Child<QAction>(window.get(), "N10")->trigger();
    EXPECT_EQ(window->Memo1Text().SelectionLength(), 6);
    EXPECT_TRUE(window->EditorModified());
}

TEST_F(MainWindowTest, HelpOpensTheHelpFileOnlyWhenItExists) {
    auto window = Open();
    Child<QAction>(window.get(), "N31")->trigger();
    EXPECT_TRUE(dialogs.opened.empty());
    std::ofstream(folder.File("speaker.chm")) << "help";
    Child<QAction>(window.get(), "N31")->trigger();
    ASSERT_EQ(dialogs.opened.size(), 1u);
    EXPECT_EQ(dialogs.opened[0].toStdString(), folder.File("speaker.chm"));
}

TEST_F(MainWindowTest, SettingsAreAppliedAtStartUp) {
    const SettingsFile settings = Settings();
    settings.WriteInteger("Speaker", "Rate", 5);
    settings.WriteInteger("Speaker", "Speaker", 1);
    settings.WriteBool("System", "Showgrid", false);
    settings.WriteInteger("System", "Readtimes", 7);
    settings.WriteInteger("System", "Intervaltime", 30);
    settings.WriteInteger("System", "Playmode", 1);
    settings.WriteInteger("System", "default_volume", 66);
    settings.WriteInteger("Memo", "fontsize", 16);
    settings.WriteString("Memo", "FontStyle", "[fsBold]");
    settings.WriteString("Memo", "fontcolor", "clYellow");

    auto window = Open();
    EXPECT_EQ(Child<QSlider>(window.get(), "TrackBar2")->value(), 5);
    EXPECT_EQ(Child<QLabel>(window.get(), "StaticText6")->text(), Q("5"));
    // No Volume key: the default 120 stands at the slider's end.
    EXPECT_EQ(Child<QSlider>(window.get(), "TrackBar1")->value(), 100);
    EXPECT_EQ(Child<QLabel>(window.get(), "StaticText9")->text(), Q("100"));
    ASSERT_FALSE(voice.rates.empty());
    EXPECT_EQ(voice.rates.back(), 5 + voice.baseRate);
    EXPECT_EQ(voice.volumes, std::vector<int>{100});

    auto* voices = Child<QComboBox>(window.get(), "flatComboBox1");
    ASSERT_EQ(voices->count(), 3);
    EXPECT_EQ(voices->itemText(0), Q("Chinese Mandarin (espeak-ng)"));
    EXPECT_EQ(voices->currentIndex(), 1);

    EXPECT_TRUE(Child<QTableWidget>(window.get(), "SGrid1")->isHidden());
    EXPECT_FALSE(Child<QCheckBox>(window.get(), "chk_showgrid")->isChecked());
    EXPECT_EQ(Child<QSpinBox>(window.get(), "SpinEdit1")->value(), 7);
    EXPECT_EQ(Child<QSpinBox>(window.get(), "SpinEdit2")->value(), 30);
    EXPECT_EQ(Child<QComboBox>(window.get(), "ComBox1")->currentIndex(), 1);
    EXPECT_EQ(Child<QSpinBox>(window.get(), "bj_v")->value(), 66);
    EXPECT_EQ(Child<QSpinBox>(window.get(), "bj_v1")->value(), 10);
    EXPECT_EQ(window->Memo1()->font().pointSize(), 16);
    EXPECT_TRUE(window->Memo1()->font().bold());
    EXPECT_EQ(window->Memo1()->palette().color(QPalette::Text), QColor(255, 255, 0));
    EXPECT_EQ(window->Memo1()->palette().color(QPalette::Base), QColor(0, 128, 128));
    EXPECT_EQ(settings.ReadString("Memo", "memocolor", ""), "clTeal");
    EXPECT_EQ(window->Reading().signdelay.load(), 800);
    EXPECT_TRUE(window->StartupSettings().hotKeyF7);
}

TEST_F(MainWindowTest, ExitAnsweredNoWritesTheSixKeysAndSavesNothing) {
    auto window = Open();
    bool saved = false;
    window->SetSaveCommand([&] { return saved = true; });
    Child<QSlider>(window.get(), "TrackBar2")->setValue(-3);
    Child<QSlider>(window.get(), "TrackBar1")->setValue(44);
    Child<QComboBox>(window.get(), "flatComboBox1")->setCurrentIndex(2);
    Child<QSpinBox>(window.get(), "bj_v")->setValue(33);
    Child<QSpinBox>(window.get(), "bj_v1")->setValue(3);
    Child<QComboBox>(window.get(), "ComBox1")->setCurrentIndex(1);
    window->Memo1()->setPlainText(Q("改过的文章"));
    ASSERT_TRUE(window->EditorModified());
    window->TrayIcon()->show();

    desktop.answerYes = false;
    Child<QToolButton>(window.get(), "SB_close")->click();
    ASSERT_EQ(desktop.questions.size(), 1u);
    EXPECT_EQ(desktop.questions[0].text, "文章已被修改，要保存吗？");
    EXPECT_FALSE(saved);
    EXPECT_TRUE(window->Reading().stopreading.load());
    EXPECT_FALSE(window->TrayIcon()->isVisible());

    const SettingsFile settings = Settings();
    EXPECT_EQ(settings.ReadInteger("Speaker", "Speaker", -9), 2);
    EXPECT_EQ(settings.ReadInteger("Speaker", "Rate", -9), -3);
    EXPECT_EQ(settings.ReadInteger("Speaker", "Volume", -9), 44);
    EXPECT_EQ(settings.ReadInteger("System", "default_volume", -9), 33);
    EXPECT_EQ(settings.ReadInteger("System", "default_volume1", -9), 3);
    EXPECT_EQ(settings.ReadInteger("System", "Playmode", -9), 1);
}

TEST_F(MainWindowTest, ExitAnsweredYesRunsTheSaveCommandAndAnUnmodifiedTextAsksNothing) {
    auto window = Open();
    bool saved = false;
    window->SetSaveCommand([&] { return saved = true; });
    window->Memo1()->setPlainText(Q("改过的文章"));
    desktop.answerYes = true;
    window->SB_closeClick();
    EXPECT_TRUE(saved);
    EXPECT_EQ(Settings().ReadInteger("Speaker", "Volume", -9), 100);

    auto quiet = Open();
    Child<QAction>(quiet.get(), "C1")->trigger();
    EXPECT_EQ(desktop.questions.size(), 1u); // only the first exit asked
}

class FirstRunTest : public MainWindowTest {
protected:
    FirstRunTest() : MainWindowTest(true) {}
};

TEST_F(FirstRunTest, FirstStartLoadsTheIntroductionAndRecordsThePriceList) {
    ASSERT_FALSE(Settings().Exists());
    auto window = Open();
    const QString intro = QString::fromStdString(test::StagedSampleUtf8("基本介绍.txt"));
    ASSERT_FALSE(intro.isEmpty());
    EXPECT_EQ(window->Memo1Text().Text(), Utf8ToGbk(intro.toStdString()));
    EXPECT_FALSE(window->EditorModified());

    // The history gains the price list beside the shipped entry.
    auto* history = Child<QListWidget>(window.get(), "ListBox1");
    ASSERT_EQ(history->count(), 2);
    EXPECT_EQ(
        history->findItems(QString::fromStdString(folder.File("报价单.txt")), Qt::MatchExactly)
            .size(),
        1);
    EXPECT_TRUE(Settings().Exists());
    EXPECT_EQ(Settings().ReadString("Memo", "memocolor", ""), "clTeal");
    EXPECT_TRUE(QRegularExpression(Q("^\\d{4}-\\d{2}-\\d{2} 星期[一二三四五六日]$"))
                    .match(window->StatusText(1))
                    .hasMatch())
        << window->StatusText(1).toStdString();

    // The price list's last line holds the date placeholder.
    const QString prices = QString::fromStdString(test::StagedSampleUtf8("报价单.txt"));
    EXPECT_TRUE(prices.trimmed().split(QLatin1Char('\n')).last().contains(Q("%Date%")));

    // A second start finds the settings file: an empty editor, the history
    // as it was.
    window.reset();
    data.reset();
    auto second = Open();
    EXPECT_TRUE(second->Memo1()->toPlainText().isEmpty());
    EXPECT_FALSE(second->EditorModified());
    EXPECT_EQ(Child<QListWidget>(second.get(), "ListBox1")->count(), 2);
}

TEST_F(MainWindowTest, FirstStartWithoutTheSampleTextsSkipsThemSilently) {
    auto window = Open();
    EXPECT_TRUE(window->Memo1()->toPlainText().isEmpty());
    auto* history = Child<QListWidget>(window.get(), "ListBox1");
    ASSERT_EQ(history->count(), data->Q_history.RecordCount()); // the shipped entries only
    EXPECT_TRUE(
        history->findItems(QString::fromStdString(folder.File("报价单.txt")), Qt::MatchExactly)
            .isEmpty());
    EXPECT_TRUE(desktop.messages.empty());
}

} // namespace
} // namespace sonvela
