#include "DocumentTestSupport.h"
#include "GbkText.h"
#include "SettingsFile.h"
#include "TFadddraft.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>

namespace sonvela {
namespace {

using test::Q;

class DraftListTest : public test::DocumentWindowTest {
protected:
    QStringList Column(Tf_speaker& window, int column) {
        auto* grid = Child<QTableWidget>(&window, "SGrid1");
        QStringList cells;
        for (int row = 0; row < grid->rowCount(); ++row)
            cells << grid->item(row, column)->text();
        return cells;
    }

    // Runs the list editor modally; `act` works in it and closes it.
    void EditList(Tf_speaker& window, std::function<void(TFadddraft&)> act) {
        TFadddraft* editor = window.DraftEditor();
        ASSERT_NE(editor, nullptr);
        QTimer::singleShot(0, editor, [editor, act] {
            act(*editor);
            editor->Btn_closeClick();
        });
        window.N42Click();
    }
};

TEST_F(DraftListTest, ANewDraftHeadsTheGridAndTheNoColumnCountsRows) {
    auto window = Open();
    EXPECT_EQ(Column(*window, 1), QStringList({Q("基本介绍"), Q("营业准备词"), Q("报价单")}));
    EditList(*window, [](TFadddraft& editor) {
        EXPECT_EQ(editor.windowTitle(), Q("文稿列表编辑"));
        editor.Edit1()->setText(Q("  新稿  "));
        editor.BitBtn1Click();
        editor.Memo1()->setPlainText(Q("新稿的内容"));
        editor.btn_saveClick();
    });
    EXPECT_EQ(Column(*window, 1),
              QStringList({Q("新稿"), Q("基本介绍"), Q("营业准备词"), Q("报价单")}));
    EXPECT_EQ(Column(*window, 0), QStringList({Q("1"), Q("2"), Q("3"), Q("4")}));
    EXPECT_EQ(Column(*window, 2)[0], Q("新稿的内容"));
}

TEST_F(DraftListTest, MovingBetweenRowsAloneRefreshesTheGridAndOnlyLookingDoesNot) {
    auto window = Open();
    data->Conn1.Execute("update draft set name = '外面改的' where id = 1");
    EditList(*window, [](TFadddraft&) {});
    EXPECT_EQ(Column(*window, 1)[0], Q("基本介绍"));
    EditList(*window, [](TFadddraft& editor) { editor.DBGrid1()->setCurrentCell(1, 1); });
    EXPECT_EQ(Column(*window, 1)[0], Q("外面改的"));
}

TEST_F(DraftListTest, TheEditorRefusesEmptyInputAsksBeforeDeletingAndSwallowsDownOnTheLastRow) {
    auto window = Open();
    TFadddraft* editor = window->DraftEditor();
    editor->FormShow();
    editor->Edit1()->setText(Q("   "));
    editor->BitBtn1Click();
    editor->Memo1()->setPlainText(Q(" \n "));
    editor->btn_saveClick();
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.messages[0].text, "请输入主题内容!");
    EXPECT_EQ(desktop.messages[1].text, "请输入播音内容!");
    EXPECT_EQ(data->Q_draft.RecordCount(), 3);

    QTableWidget* grid = editor->DBGrid1();
    grid->setCurrentCell(2, 1);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(grid, &down);
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->currentRow(), 2);

    desktop.answerYes = false;
    editor->N1Click();
    EXPECT_EQ(desktop.questions.back().text, "真的要删除该记录吗？");
    EXPECT_EQ(data->Q_draft.RecordCount(), 3);
    desktop.answerYes = true;
    editor->N1Click();
    EXPECT_EQ(data->Q_draft.RecordCount(), 2);
    EXPECT_EQ(grid->rowCount(), 2);
}

TEST_F(DraftListTest, EditingASubjectInTheGridIsPostedAtOnce) {
    auto window = Open();
    TFadddraft* editor = window->DraftEditor();
    editor->FormShow();
    editor->DBGrid1()->item(1, 1)->setText(Q("改名"));
    editor->DBGrid1()->item(1, 2)->setText(Q("9"));
    auto check = TDM::Connect(folder.Path());
    ASSERT_TRUE(check->Q_draft.LocateExact("name", Utf8ToGbk("改名")));
    EXPECT_EQ(check->Q_draft.AsInteger("orderno"), 9);
    EXPECT_TRUE(editor->DraftChanged());
}

TEST_F(DraftListTest, OpeningADraftMakesTheTextUntitled) {
    const std::string path = Write("文件.txt", Utf8ToGbk("文件里的"));
    auto window = Open();
    dialogs.openAnswer = Q(path);
    window->SB_openClick();
    ASSERT_EQ(window->CurrentFileName(), path);

    auto* grid = Child<QTableWidget>(window.get(), "SGrid1");
    grid->setCurrentCell(2, 1);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    EXPECT_TRUE(window->Memo1()->toPlainText().startsWith(Q("各位顾客请注意")));
    EXPECT_TRUE(window->CurrentFileName().empty());
    EXPECT_FALSE(window->EditorModified());
    EXPECT_TRUE(window->Reading().stopreading.load());

    window->Memo1()->appendPlainText(Q("改"));
    window->SB_saveClick();
    EXPECT_EQ(dialogs.saveProposed.size(), 1u);
    EXPECT_EQ(Read(path), Utf8ToGbk("文件里的"));
}

TEST_F(DraftListTest, HidingTheGridIsKeptForTheNextStart) {
    auto window = Open();
    auto* box = Child<QCheckBox>(window.get(), "chk_showgrid");
    box->click();
    EXPECT_TRUE(Child<QTableWidget>(window.get(), "SGrid1")->isHidden());
    EXPECT_FALSE(SettingsFile::InFolder(folder.Path()).ReadBool("System", "Showgrid", true));
    window.reset();
    auto again = Open();
    EXPECT_TRUE(Child<QTableWidget>(again.get(), "SGrid1")->isHidden());
    Child<QCheckBox>(again.get(), "chk_showgrid")->click();
    EXPECT_FALSE(Child<QTableWidget>(again.get(), "SGrid1")->isHidden());
}

} // namespace
} // namespace sonvela
