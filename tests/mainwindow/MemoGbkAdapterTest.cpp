#include "MemoGbkAdapter.h"

#include "GbkText.h"
#include "MemoEditorPort.h"
#include "UiThreadEditorPort.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace sonvela {
namespace {

// ASCII (1 byte), Chinese (2 bytes), a character outside GBK (4 bytes, a
// surrogate pair in the editor), the euro sign (1 byte in code page 936)
// and empty paragraphs.
const char* const kMixed = "ab中文\n\n第二行xyz𠀀€末\n尾";

QString Q(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

class MemoGbkAdapterTest : public ::testing::Test {
protected:
    MemoGbkAdapterTest() {
        memo.resize(300, 200);
        memo.setPlainText(Q(kMixed));
    }

    // Every position of the editor against a conversion of the text before
    // it: the reference the adapter must agree with.
    void ExpectOffsetsMatchFullConversion() {
        const QString text = memo.toPlainText();
        ASSERT_EQ(adapter.Text(), Utf8ToGbk(text.toStdString()));
        ASSERT_EQ(adapter.TotalBytes(), static_cast<std::int64_t>(adapter.Text().size()));
        for (int position = 0; position <= text.size(); ++position) {
            if (position > 0 && text.at(position - 1).isHighSurrogate())
                continue; // inside a surrogate pair
            const auto expected =
                static_cast<std::int64_t>(Utf8ToGbk(text.left(position).toStdString()).size());
            ASSERT_EQ(adapter.OffsetOfPosition(position), expected) << "position " << position;
            ASSERT_EQ(adapter.PositionOfOffset(expected), position) << "offset " << expected;
        }
    }

    QPlainTextEdit memo;
    MemoGbkAdapter adapter{&memo};
};

TEST_F(MemoGbkAdapterTest, OffsetsCountGbkBytesOfMixedText) {
    ExpectOffsetsMatchFullConversion();
    // "ab中文\n\n" is 8 bytes; "第二行xyz" 9 more; the 4-byte character; the
    // euro sign is one byte.
    EXPECT_EQ(adapter.TextWindow(0, 6), G("ab中文"));
    EXPECT_EQ(adapter.TextWindow(4, 6), G("文\n\n第"));
    EXPECT_EQ(adapter.TextWindow(4, 5), G("文\n\n") + G("第").substr(0, 1));
    EXPECT_EQ(adapter.TextWindow(8, 500), G("第二行xyz𠀀€末\n尾"));
    EXPECT_EQ(adapter.TextWindow(17, 5), G("𠀀€"));
    EXPECT_EQ(adapter.TextWindow(6, 1), "\n"); // on a line break
    EXPECT_EQ(adapter.TextWindow(adapter.TotalBytes(), 10), "");
    EXPECT_EQ(adapter.TextWindow(-1, 10), "");
    // An offset inside a character puts the caret on that character's start.
    EXPECT_EQ(adapter.PositionOfOffset(3), 2);
    EXPECT_EQ(adapter.PositionOfOffset(19), adapter.PositionOfOffset(17));
    EXPECT_EQ(adapter.PositionOfOffset(1000), memo.document()->characterCount() - 1);
}

// The document's raw text, taken quickly and converted elsewhere, gives
// the adapter's text: paragraphs, soft line breaks, non-breaking spaces and
// characters outside GBK alike.
TEST_F(MemoGbkAdapterTest, TheRawTextConvertsToTheAdaptersText) {
    EXPECT_EQ(MemoGbkAdapter::RawTextAsGbk(memo.document()->toRawText()), adapter.Text());
    QTextCursor end(memo.document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString(QChar::LineSeparator) + Q("软换行") + QString(QChar::Nbsp) + Q("空"));
    ASSERT_NE(memo.document()->toRawText(), memo.toPlainText());
    EXPECT_EQ(MemoGbkAdapter::RawTextAsGbk(memo.document()->toRawText()), adapter.Text());
    EXPECT_EQ(adapter.Text(), Utf8ToGbk(memo.toPlainText().toStdString()));
    memo.clear();
    EXPECT_EQ(MemoGbkAdapter::RawTextAsGbk(memo.document()->toRawText()), "");
}

TEST_F(MemoGbkAdapterTest, CaretAndSelectionAreByteRanges) {
    adapter.SetSelection(2, 6);
    EXPECT_EQ(adapter.Caret(), 2);
    EXPECT_EQ(adapter.SelectionLength(), 6);
    EXPECT_EQ(adapter.SelectedText(), G("中文\n\n"));
    EXPECT_EQ(memo.textCursor().selectedText(), Q("中文\u2029\u2029"));

    adapter.SetSelection(17, 5);
    EXPECT_EQ(adapter.SelectedText(), G("𠀀€"));
    adapter.SetSelection(20, 100); // limited to the text
    EXPECT_EQ(adapter.Caret() + adapter.SelectionLength(), adapter.TotalBytes());

    adapter.SetCaret(9999);
    EXPECT_EQ(adapter.Caret(), adapter.TotalBytes());
    EXPECT_EQ(adapter.SelectionLength(), 0);
    adapter.SetCaret(10);
    EXPECT_EQ(memo.textCursor().position(), 7); // "二" of the third paragraph
}

TEST_F(MemoGbkAdapterTest, EditsKeepTheParagraphIndexInStep) {
    std::mt19937 random(7);
    const QStringList pieces = {Q("中"), Q("x"), Q("\n"), Q("二\n三"), Q("𠀀"), Q("€a\n\n")};
    for (int round = 0; round < 60; ++round) {
        QTextCursor cursor(memo.document());
        const int length = memo.document()->characterCount() - 1;
        int position = static_cast<int>(random() % static_cast<unsigned>(length + 1));
        if (position > 0 && memo.document()->characterAt(position - 1).isHighSurrogate())
            --position;
        cursor.setPosition(position);
        if (round % 3 == 2 && position < length) {
            cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor,
                                1 + static_cast<int>(random() % 4));
            cursor.removeSelectedText();
        } else {
            cursor.insertText(pieces[static_cast<int>(random() % pieces.size())]);
        }
        ExpectOffsetsMatchFullConversion();
    }
    memo.undo();
    memo.undo();
    ExpectOffsetsMatchFullConversion();
    memo.clear();
    ExpectOffsetsMatchFullConversion();
    EXPECT_TRUE(adapter.TextIsBlank());
    memo.setPlainText(Q(" \t\n \n"));
    EXPECT_TRUE(adapter.TextIsBlank());
    memo.setPlainText(Q(" \n中"));
    EXPECT_FALSE(adapter.TextIsBlank());
}

TEST_F(MemoGbkAdapterTest, DisplayLinesAreTheWrappedLines) {
    memo.show();
    // A paragraph far wider than the editor, then two short ones.
    std::string first;
    for (int i = 0; i < 30; ++i)
        first += "中文abc";
    memo.setPlainText(Q(first + "\n短行\n最后一行"));
    QApplication::processEvents();

    const QTextBlock block0 = memo.document()->firstBlock();
    const int firstLines = adapter.LineCount() - 2;
    ASSERT_GT(firstLines, 2) << "the long paragraph should wrap";
    EXPECT_EQ(block0.layout()->lineCount(), firstLines);

    const auto firstBytes = static_cast<std::int64_t>(Utf8ToGbk(first).size());
    EXPECT_EQ(adapter.LineOfOffset(0), 0);
    EXPECT_EQ(adapter.LineOfOffset(firstBytes - 1), firstLines - 1);
    EXPECT_EQ(adapter.LineOfOffset(firstBytes + 1), firstLines); // "短行"
    EXPECT_EQ(adapter.LineOfOffset(adapter.TotalBytes()), firstLines + 1);

    // The wrapped lines of the paragraph put together are the paragraph.
    GbkString joined;
    for (int line = 0; line < firstLines; ++line) {
        EXPECT_EQ(adapter.LineOfOffset(adapter.LineStartOffset(line)), line);
        joined += adapter.LineText(line);
    }
    EXPECT_EQ(joined, Utf8ToGbk(first));
    EXPECT_EQ(adapter.LineText(firstLines + 1), G("最后一行"));
    EXPECT_EQ(adapter.LineText(firstLines + 2), "");
    EXPECT_EQ(adapter.LineStartOffset(firstLines + 2), -1);

    // A resize throws the layouts away; counting lays them out again.
    memo.resize(600, 200);
    QApplication::processEvents();
    EXPECT_LT(adapter.LineCount() - 2, firstLines);
    EXPECT_GE(adapter.LineCount(), 3);

    // Scrolling moves the view by one display line.
    memo.resize(300, 60);
    QApplication::processEvents();
    QScrollBar* bar = memo.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(0);
    adapter.ScrollOneLine();
    EXPECT_EQ(bar->value(), 1);
    // Moving the selection does not scroll by itself; the reader scrolls.
    adapter.SetSelection(adapter.TotalBytes() - 4, 4);
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 1);
}

TEST_F(MemoGbkAdapterTest, ReaderThreadCallsAreCarriedOutOnTheUserInterfaceThread) {
    std::atomic<bool> focusedOnUiThread{false};
    const auto uiThread = std::this_thread::get_id();
    QPlainTextEdit hidden;
    hidden.setPlainText(Q(kMixed));
    MemoGbkAdapter hiddenAdapter(&hidden);
    MemoEditorPort port(
        adapter, hiddenAdapter,
        {nullptr, [&] { focusedOnUiThread = std::this_thread::get_id() == uiThread; }, nullptr});
    auto readerPort = MakeReaderPort(port);

    std::atomic<bool> done{false};
    GbkString window;
    GbkString hiddenText;
    std::int32_t caret = -1;
    std::thread reader([&] {
        readerPort->SetSelection(8, 4);
        window = readerPort->TextWindow(8, 9);
        caret = readerPort->Caret();
        hiddenText = readerPort->HiddenCopySelection(2, 4);
        readerPort->FocusEditor();
        done = true;
    });
    while (!done)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    reader.join();
    EXPECT_EQ(window, G("第二行xyz"));
    EXPECT_EQ(caret, 8);
    EXPECT_EQ(hiddenText, G("中文"));
    EXPECT_EQ(memo.textCursor().selectedText(), Q("第二"));
    EXPECT_TRUE(focusedOnUiThread);

    // After the port is closed a reader's call fails instead of waiting.
    readerPort->Close();
    std::thread late([&] { EXPECT_THROW(readerPort->Caret(), EditorPortClosed); });
    late.join();
}

} // namespace
} // namespace sonvela

namespace sonvela {
namespace {

// A window at an offset converts one paragraph, not the document: the same
// windows cost about the same in a short text and in one four hundred times
// as long (the bound is loose; a whole-document conversion per call would be
// hundreds of times slower).
TEST(MemoGbkAdapterCost, AWindowCostsTheSameInAShortAndALongText) {
    auto timeWindows = [](int paragraphs) {
        std::string text;
        for (int i = 0; i < paragraphs; ++i)
            text += "第" + std::to_string(i) + "段：今天天气很好，欢迎光临本店。Welcome!\n";
        QPlainTextEdit memo;
        memo.setPlainText(QString::fromStdString(text));
        MemoGbkAdapter adapter(&memo);
        const std::int64_t total = adapter.TotalBytes();
        std::mt19937 random(3);
        std::size_t bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 2000; ++i) {
            const auto offset = static_cast<std::int64_t>(random() % static_cast<unsigned>(total));
            bytes += adapter.TextWindow(offset, 500).size();
            bytes += static_cast<std::size_t>(adapter.PositionOfOffset(offset));
        }
        EXPECT_GT(bytes, 0u);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const double shortText = timeWindows(100);  // about 6 KB
    const double longText = timeWindows(40000); // about 2.6 MB
    std::printf("windows: short text %.4f s, long text %.4f s\n", shortText, longText);
    EXPECT_LT(longText, shortText * 8 + 0.05);
}

} // namespace
} // namespace sonvela
