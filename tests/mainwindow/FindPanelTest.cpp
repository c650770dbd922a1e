#include "DocumentTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>
#include <chrono>
#include <functional>

namespace sonvela {
namespace {

using test::Q;
using namespace std::chrono_literals;

// Without the shared PumpUntil's pause between turns: a find or replace-all
// over a long text takes thousands of turns of the event loop, and a pause
// after each doubles the test's time.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 60s) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Paragraphs of prices, a few megabytes: searching all of it takes many
// turns of the event loop. Tomatoes are in every hundredth paragraph.
QString LongText(const char* last) {
    QString text;
    const QString cucumbers = Q("各位顾客请注意，下面报告今日菜价。黄瓜每斤三元五角。\n");
    const QString tomatoes = Q("各位顾客请注意，下面报告今日菜价。西红柿每斤三元五角。\n");
    for (int i = 0; text.size() < 2'500'000; ++i)
        text += i % 100 == 50 ? tomatoes : cucumbers;
    return text + Q(last);
}

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

// On a long text a find goes on after the click returns, with the window
// answering, and ends as it would have in one go: the match far down
// selected, or the not-found message.
TEST_F(FindPanelTest, AFindThroughALongTextEndsAfterTheClickWithTheSameResult) {
    auto window = Open();
    window->Memo1()->setPlainText(LongText("最后一行有苹果"));
    window->SetEditorModified(false);
    window->Memo1()->moveCursor(QTextCursor::Start);
    Search(*window, "苹果");
    Child<QToolButton>(window.get(), "SpeedButton2")->click();
    EXPECT_TRUE(window->Memo1()->textCursor().selectedText().isEmpty())
        << "the whole text was searched within the click";
    ASSERT_TRUE(PumpUntil([&] { return window->Memo1()->textCursor().hasSelection(); }));
    EXPECT_EQ(window->Memo1()->textCursor().selectedText(), Q("苹果"));
    EXPECT_EQ(window->Memo1()->textCursor().selectionEnd(),
              window->Memo1()->document()->characterCount() - 1);
    EXPECT_TRUE(desktop.messages.empty());

    Search(*window, "香蕉");
    window->Memo1()->moveCursor(QTextCursor::Start);
    Child<QToolButton>(window.get(), "SpeedButton2")->click();
    ASSERT_TRUE(PumpUntil([&] { return !desktop.messages.empty(); }));
    EXPECT_EQ(desktop.messages[0].text, "\"香蕉\" 没有找到。");
    EXPECT_FALSE(window->EditorModified());
}

// Esc, closing the panel and an edit of the text each end a running find
// where it is: no message, and no selection made from offsets of a text
// that has changed.
TEST_F(FindPanelTest, EscClosingThePanelOrAnEditEndsARunningFind) {
    auto window = Open();
    window->show();
    window->activateWindow();
    QApplication::processEvents();
    window->Image1Click();
    window->Memo1()->setPlainText(LongText("苹果"));
    Search(*window, "苹果");
    const std::function<void()> stops[] = {
        [&] { QTest::keyClick(window->Memo1(), Qt::Key_Escape); }, [&] { window->Image2Click(); },
        [&] {
            QTextCursor start(window->Memo1()->document());
            start.insertText(Q("新"));
        }};
    int which = 0;
    for (const auto& stop : stops) {
        window->Image1Click();
        window->Memo1()->moveCursor(QTextCursor::Start);
        Child<QToolButton>(window.get(), "SpeedButton2")->click();
        ASSERT_TRUE(window->FindRunning()) << which;
        stop();
        EXPECT_FALSE(window->FindRunning()) << which;
        for (int turn = 0; turn < 20; ++turn)
            QCoreApplication::processEvents();
        EXPECT_FALSE(window->Memo1()->textCursor().hasSelection()) << which;
        EXPECT_TRUE(desktop.messages.empty()) << which;
        ++which;
    }
}

// "替换以下" through a long text replaces every match in steps, keeps the
// modified mark and the message, and ends with the last match in view.
TEST_F(FindPanelTest, ReplaceAllThroughALongTextReplacesEveryMatch) {
    auto window = Open();
    window->Memo1()->setPlainText(LongText("西红柿"));
    window->Memo1()->moveCursor(QTextCursor::Start);
    const QString before = window->Memo1()->toPlainText();
    Search(*window, "西红柿", "番茄");
    Child<QToolButton>(window.get(), "SpeedButton4")->click();
    ASSERT_TRUE(PumpUntil([&] { return !desktop.messages.empty(); }));
    EXPECT_EQ(desktop.messages[0].text, "\"西红柿\" 没有找到。");
    QString expected = before;
    expected.replace(Q("西红柿"), Q("番茄"));
    EXPECT_TRUE(window->Memo1()->toPlainText() == expected);
    EXPECT_TRUE(window->EditorModified());
}

} // namespace
} // namespace sonvela
