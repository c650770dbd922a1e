#include "DocumentTestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QToolButton>

namespace sonvela {
namespace {

using test::Q;

class FindPanelTest : public test::DocumentWindowTest {
protected:
    void Search(Tf_speaker& window, const char* find, const char* replace = "") {
        Child<QLineEdit>(&window, "Fedit")->setText(Q(find));
        Child<QLineEdit>(&window, "Redit")->setText(Q(replace));
    }
};

TEST_F(FindPanelTest, FindSelectsInTheEditorAndReplaceAllWorksAcrossParagraphs) {
    auto window = Open();
    window->Memo1()->setPlainText(Q("苹果六元，\n香蕉四元，苹果七元。\n苹果"));
    Search(*window, "苹果", "梨");
    Child<QToolButton>(window.get(), "SpeedButton2")->click();
    EXPECT_EQ(window->Memo1()->textCursor().selectedText(), Q("苹果"));
    EXPECT_EQ(window->Memo1()->textCursor().selectionStart(), 0);

    Child<QToolButton>(window.get(), "SpeedButton4")->click();
    EXPECT_EQ(window->Memo1()->toPlainText(), Q("梨六元，\n香蕉四元，梨七元。\n梨"));
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "\"苹果\" 没有找到。");
    EXPECT_TRUE(window->EditorModified());
}

TEST_F(FindPanelTest, AnEmptySearchTextDoesNothingAndFromTheTopIsClearedAfterOneStep) {
    auto window = Open();
    window->Memo1()->setPlainText(Q("abc abc"));
    window->Memo1()->moveCursor(QTextCursor::End);
    Search(*window, "");
    Child<QToolButton>(window.get(), "SpeedButton2")->click();
    EXPECT_TRUE(desktop.messages.empty());

    auto* fromTop = Child<QCheckBox>(window.get(), "CheckBox4");
    fromTop->setChecked(true);
    Search(*window, "ABC", "x");
    Child<QToolButton>(window.get(), "SpeedButton3")->click();
    EXPECT_FALSE(fromTop->isChecked());
    EXPECT_EQ(window->Memo1()->textCursor().selectionStart(), 0);
    Child<QToolButton>(window.get(), "SpeedButton3")->click();
    EXPECT_EQ(window->Memo1()->toPlainText(), Q("x abc"));
    EXPECT_EQ(window->Memo1()->textCursor().selectedText(), Q("abc"));

    Child<QCheckBox>(window.get(), "CheckBox2")->setChecked(true);
    Child<QToolButton>(window.get(), "SpeedButton2")->click();
    EXPECT_EQ(desktop.messages.back().text, "\"ABC\" 没有找到。");
}

} // namespace
} // namespace sonvela
