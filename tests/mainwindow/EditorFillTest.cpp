// Long texts in the real editor: filled in steps with the window answering,
// and line numbers that cost the same at the end of a long text as in a
// short one.
#include "EditorFill.h"

#include "GbkText.h"
#include "MemoGbkAdapter.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <thread>

namespace sonvela {
namespace {

using Clock = std::chrono::steady_clock;

std::u16string LongText(std::size_t units) {
    // A character outside the basic plane too: slices must not part its
    // surrogate pair.
    const std::u16string line = u"第一句话，用来填满编辑器。𠀀 Mixed text.\n";
    std::u16string text;
    while (text.size() < units)
        text += line;
    return text;
}

QString Q(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

TEST(EditorFillTest, ALongTextGoesInInStepsAsSetPlainTextWouldPutIt) {
    const std::u16string text = LongText(300 * 1024);
    QPlainTextEdit memo;
    memo.resize(400, 300);
    memo.show();
    memo.setPlainText(QStringLiteral("旧的文字"));
    memo.moveCursor(QTextCursor::End);

    // The event loop turns while the editor fills: a timer gets its turns.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] { ++ticks; });
    timer.start(0);
    std::vector<int> progress;
    FillEditor(&memo, text, [&](int percent) { progress.push_back(percent); });
    timer.stop();

    EXPECT_EQ(memo.toPlainText(), Q(text));
    EXPECT_GT(ticks, 0);
    ASSERT_GT(progress.size(), 1u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(memo.updatesEnabled());
    // As after setPlainText: caret at the start, nothing to undo, and undo
    // working again for the operator's edits.
    EXPECT_EQ(memo.textCursor().position(), 0);
    EXPECT_FALSE(memo.document()->isUndoAvailable());
    memo.insertPlainText(QStringLiteral("新"));
    EXPECT_TRUE(memo.document()->isUndoAvailable());
}

TEST(EditorFillTest, AShortTextGoesInAtOnceAndANewerFillEndsAnOlderOne) {
    QPlainTextEdit memo;
    int steps = 0;
    FillEditor(&memo, u"短文。\n第二行", [&](int) { ++steps; });
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("短文。\n第二行"));
    EXPECT_EQ(steps, 0);

    // A text opened while a long one is still going in replaces it.
    bool nested = false;
    FillEditor(&memo, LongText(200 * 1024), [&](int) {
        if (!nested) {
            nested = true;
            FillEditor(&memo, u"后来的文字", nullptr);
        }
    });
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("后来的文字"));
    EXPECT_TRUE(memo.updatesEnabled());

    // Filling another editor meanwhile (the hidden copy) cuts nothing short.
    QPlainTextEdit other;
    const std::u16string text = LongText(200 * 1024);
    bool filledOther = false;
    FillEditor(&memo, text, [&](int) {
        if (!filledOther) {
            filledOther = true;
            FillEditor(&other, LongText(100 * 1024), nullptr);
        }
    });
    EXPECT_EQ(memo.toPlainText(), Q(text));
    EXPECT_EQ(other.toPlainText(), Q(LongText(100 * 1024)));
}

// Paragraphs the filling laid out keep their layouts, which nothing frees:
// in a long text, only the screenfuls at its ends may have been laid out,
// not a share of the whole. The editor's scrolling setting is its own again
// afterwards, even when a newer fill cut the first one short.
TEST(EditorFillTest, FillingLaysOutNoMoreThanTheEndsOfTheTextAndKeepsTheEditorsSettings) {
    QPlainTextEdit memo;
    memo.resize(400, 300);
    memo.show();
    FillEditor(&memo, LongText(400 * 1024), nullptr);
    QApplication::processEvents();
    const int blocks = memo.document()->blockCount();
    int laidOut = 0;
    // layout() makes an empty layout where there was none: lines only where
    // the editor laid the paragraph out.
    for (QTextBlock block = memo.document()->begin(); block.isValid(); block = block.next())
        if (block.layout()->lineCount() > 0)
            ++laidOut;
    EXPECT_GT(blocks, 10000);
    EXPECT_LT(laidOut, 200) << "of " << blocks << " paragraphs";
    EXPECT_FALSE(memo.centerOnScroll());

    memo.setCenterOnScroll(true);
    bool nested = false;
    FillEditor(&memo, LongText(200 * 1024), [&](int) {
        if (!nested) {
            nested = true;
            FillEditor(&memo, LongText(100 * 1024), nullptr);
        }
    });
    EXPECT_TRUE(memo.centerOnScroll());
    memo.setCenterOnScroll(false);
    nested = false;
    FillEditor(&memo, LongText(200 * 1024), [&](int) {
        if (!nested) {
            nested = true;
            FillEditor(&memo, u"短文", nullptr);
        }
    });
    EXPECT_FALSE(memo.centerOnScroll());
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("短文"));
}

// The document's raw text is copied in steps, with the event loop turning
// in between; an edit made meanwhile (by a timer: input is held back) gives
// the text after the edit, never a mixture.
TEST(EditorFillTest, TheRawTextIsTakenInStepsAndAnEditMeanwhileStartsItOver) {
    QPlainTextEdit memo;
    memo.setPlainText(Q(LongText(6'000'000)));
    QTextCursor end(memo.document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString(QChar::LineSeparator) + QStringLiteral("尾") + QChar(QChar::Nbsp));
    EXPECT_EQ(TakeRawText(memo.document()), memo.document()->toRawText());

    int ticks = 0;
    bool edited = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        if (++ticks == 2 && !edited) {
            edited = true;
            QTextCursor start(memo.document());
            start.insertText(QStringLiteral("开头插入的字"));
        }
    });
    timer.start(0);
    const QString taken = TakeRawText(memo.document());
    timer.stop();
    ASSERT_TRUE(edited) << "the event loop did not turn during the copy";
    EXPECT_TRUE(taken.startsWith(QStringLiteral("开头插入的字")));
    EXPECT_EQ(taken, memo.document()->toRawText());
}

// The same copy from the event loop, a step per turn: an edit between two
// steps gives the text after it, and a cancelled copy reports nothing.
TEST(EditorFillTest, TheRawTextTakerCopiesFromTheEventLoopAndStartsOverAfterAnEdit) {
    QPlainTextEdit memo;
    memo.setPlainText(Q(LongText(6'000'000)));
    RawTextTaker taker(memo.document());
    std::optional<QString> taken;
    taker.Start([&](QString raw) { taken = std::move(raw); });
    EXPECT_FALSE(taken) << "copied within Start";
    QApplication::processEvents();
    ASSERT_TRUE(taker.Running()) << "copied in one step";
    QTextCursor start(memo.document());
    start.insertText(QStringLiteral("开头插入的字"));
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (!taken && Clock::now() < deadline)
        QApplication::processEvents();
    ASSERT_TRUE(taken);
    EXPECT_FALSE(taker.Running());
    EXPECT_EQ(*taken, memo.document()->toRawText());

    taken.reset();
    taker.Start([&](QString raw) { taken = std::move(raw); });
    QApplication::processEvents();
    taker.Cancel();
    for (int turn = 0; turn < 50; ++turn)
        QApplication::processEvents();
    EXPECT_FALSE(taken);
}

// The status bar says nothing about a load that ends within a second; past
// it, the panel shows the progress, and gets its own text back at the end.
TEST(EditorFillTest, TheProgressNoteAppearsAfterASecondAndGivesThePanelBack) {
    QLabel panel(QStringLiteral("/文章/旧.txt"));
    {
        LoadingNote note(&panel, QStringLiteral("新.txt"));
        note.Show(10);
        EXPECT_EQ(panel.text(), QStringLiteral("/文章/旧.txt"));
        std::this_thread::sleep_for(std::chrono::milliseconds(1050));
        note.Show(40);
        EXPECT_EQ(panel.text(), QStringLiteral("正在打开 新.txt … 40%"));
    }
    EXPECT_EQ(panel.text(), QStringLiteral("/文章/旧.txt"));
}

TEST(EditorFillTest, RunAsideReturnsTheResultAndCarriesAFaultBack) {
    EXPECT_EQ(RunAside([] { return 6 * 7; }), 42);
    EXPECT_THROW(RunAside([]() -> int { throw std::runtime_error("unreadable"); }),
                 std::runtime_error);
}

// In a text far beyond what is laid out whole, the line of an offset near
// the end, the line count and the start of a line are answered without
// laying out the text before them, and agree with one another and with the
// scroll bar's numbering.
TEST(LongTextLinesTest, LineNumbersNearTheEndCostLittleAndAgree) {
    QPlainTextEdit memo;
    memo.resize(400, 300);
    memo.show();
    std::string paragraph;
    for (int i = 0; i < 40; ++i)
        paragraph += "很长的段落";
    std::string text;
    while (text.size() < 6'000'000)
        text += paragraph + "\n短行\n";
    text.pop_back();
    memo.setPlainText(QString::fromStdString(text));
    QApplication::processEvents();
    MemoGbkAdapter adapter(&memo);

    const std::int64_t end = adapter.TotalBytes();
    const auto start = Clock::now();
    const int count = adapter.LineCount();
    const int lastLine = adapter.LineOfOffset(end);
    const std::int64_t lastStart = adapter.LineStartOffset(lastLine);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    EXPECT_LT(ms, 200.0) << "the whole text was laid out";

    EXPECT_EQ(lastLine, count - 1);
    EXPECT_EQ(adapter.LineText(lastLine), Utf8ToGbk("短行"));
    EXPECT_EQ(adapter.LineOfOffset(lastStart), lastLine);
    // The wrapped paragraph before the last line: its lines follow on.
    const std::int64_t paragraphStart =
        end - 5 - static_cast<std::int64_t>(Utf8ToGbk(paragraph).size());
    const int first = adapter.LineOfOffset(paragraphStart);
    EXPECT_GT(lastLine - first, 2) << "the paragraph wraps";
    EXPECT_EQ(adapter.LineStartOffset(first), paragraphStart);
    EXPECT_EQ(adapter.LineStartOffset(count), -1);

    // Brought into view from the top of the text, the paragraph is on
    // screen.
    memo.verticalScrollBar()->setValue(0);
    adapter.KeepLineInView(paragraphStart);
    QApplication::processEvents();
    QTextCursor at(memo.document());
    at.setPosition(adapter.PositionOfOffset(paragraphStart));
    EXPECT_TRUE(memo.viewport()->rect().contains(memo.cursorRect(at).center()));
}

} // namespace
} // namespace sonvela
