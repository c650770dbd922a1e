// The crash copy of the unsaved text: written shortly after an edit, kept
// across starts until the text is saved or dropped, gone after a clean exit.
#include "DocumentTestSupport.h"
#include "GbkText.h"
#include "PumpUntil.h"
#include "RecoveryKeeper.h"
#include "SessionRecovery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QThread>
#include <QTimer>
#include <filesystem>

namespace sonvela {
namespace {

using namespace std::chrono_literals;
using test::Q;
namespace fs = std::filesystem;

using sonvela::testing::PumpUntil;

class RecoveryTest : public test::DocumentWindowTest {
protected:
    std::unique_ptr<Tf_speaker> Start() {
        auto window = Open();
        window->Recovery().SetTiming(50ms, 300ms);
        return window;
    }
    std::string Kept() { return ReadRecoveryFile(folder.Path()).value_or("<none>"); }
    bool Exists() { return fs::exists(RecoveryFilePath(folder.Path())); }
};

TEST_F(RecoveryTest, AnEditIsCopiedSoonAndTypingOnIsCopiedAtLeastEveryGap) {
    auto window = Start();
    window->Memo1()->setPlainText(Q("刚打的字"));
    EXPECT_FALSE(Exists()); // not on every key stroke
    ASSERT_TRUE(PumpUntil([&] { return Exists(); }));
    EXPECT_EQ(Kept(), Utf8ToGbk("刚打的字"));

    // Typing that never pauses still reaches the disk.
    QElapsedTimer typing;
    typing.start();
    int strokes = 0;
    while (Kept() == Utf8ToGbk("刚打的字") && typing.elapsed() < 10000) {
        window->Memo1()->insertPlainText(Q("字"));
        ++strokes;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
    EXPECT_NE(Kept(), Utf8ToGbk("刚打的字"));
    EXPECT_GT(strokes, 1);
}

TEST_F(RecoveryTest, TheCopyOutlivesASecondCrashAndGoesOnlyWhenSavedOrDropped) {
    {
        auto crashed = Start();
        crashed->Memo1()->setPlainText(Q("崩溃前的文章"));
        ASSERT_TRUE(PumpUntil([&] { return Exists(); }));
    } // the window is gone without its exit command: a crash
    {
        auto second = Start();
        EXPECT_EQ(second->Memo1()->toPlainText(), Q("崩溃前的文章"));
        EXPECT_TRUE(second->EditorModified());
        // Offered is not taken: a crash now still keeps it.
        EXPECT_EQ(Kept(), Utf8ToGbk("崩溃前的文章"));
    }
    auto third = Start();
    EXPECT_EQ(third->Memo1()->toPlainText(), Q("崩溃前的文章"));
    dialogs.saveAnswer = Q(folder.File("找回的"));
    ASSERT_TRUE(third->SB_saveClick());
    EXPECT_FALSE(Exists());
    EXPECT_EQ(Read(folder.File("找回的.txt")), Utf8ToGbk("崩溃前的文章"));

    // Dropped: an exit answered No.
    third->Memo1()->appendPlainText(Q("又改"));
    ASSERT_TRUE(PumpUntil([&] { return Exists(); }));
    desktop.answerYes = false;
    third->SB_closeClick();
    EXPECT_TRUE(third->Exiting());
    EXPECT_FALSE(Exists());
}

TEST_F(RecoveryTest, LoadingAnotherTextOrEmptyingTheEditorLeavesNoCopy) {
    const std::string path = Write("文件.txt", Utf8ToGbk("文件"));
    auto window = Start();
    window->Memo1()->setPlainText(Q("临时"));
    ASSERT_TRUE(PumpUntil([&] { return Exists(); }));
    desktop.answerYes = false;
    dialogs.openAnswer = Q(path);
    window->SB_openClick();
    EXPECT_FALSE(Exists());

    window->Memo1()->setPlainText(Q("再写"));
    ASSERT_TRUE(PumpUntil([&] { return Exists(); }));
    window->Memo1()->clear();
    ASSERT_TRUE(PumpUntil([&] { return !Exists(); }));
}

// A long text goes into the editor over many turns of the event loop. The
// changes of its loading are no edits: no copy of the half-loaded text is
// taken (on a large text that copy holds the window for seconds), neither
// from an edit pending before the open command nor from the loading itself.
TEST_F(RecoveryTest, ALongTextBeingLoadedIsNotCopied) {
    std::string line = Utf8ToGbk("一行很长的文字，用来让载入分成许多步。\r\n");
    std::string text;
    while (text.size() < 3'000'000)
        text += line;
    const std::string path = Write("长文.txt", text);
    auto window = Start();
    window->Memo1()->setPlainText(Q("刚打的字"));
    desktop.answerYes = false;
    dialogs.openAnswer = Q(path);
    bool copiedWhileLoading = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] { copiedWhileLoading |= Exists(); });
    watch.start(5);
    window->SB_openClick();
    watch.stop();
    ASSERT_EQ(window->CurrentFileName(), path);
    EXPECT_FALSE(copiedWhileLoading);
    EXPECT_FALSE(window->EditorModified());
    // and nothing is written once it is in
    QThread::msleep(400);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Exists());
}

// The timed copy of a long text is converted and written aside: the window
// answers meanwhile. Dropping the text while the copy is still going to
// the disk leaves no file behind.
TEST_F(RecoveryTest, ALongTextIsCopiedAsideAndADropDuringTheCopyLeavesNoFile) {
    auto window = Start();
    QString text;
    while (text.size() < 4'000'000)
        text += Q("一行很长的文字，用来让恢复副本写得久一些。\n");
    window->Memo1()->setPlainText(text);
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        if (window->Recovery().Writing())
            ++ticks;
    });
    tick.start(1);
    ASSERT_TRUE(PumpUntil([&] { return window->Recovery().Writing(); }));
    ASSERT_TRUE(PumpUntil([&] { return !window->Recovery().Writing(); }));
    EXPECT_GT(ticks, 0) << "the window stood still while the copy was written";
    EXPECT_EQ(Kept(), Utf8ToGbk(text.toStdString()));

    window->Memo1()->appendPlainText(Q("再改"));
    ASSERT_TRUE(PumpUntil([&] { return window->Recovery().Writing(); }));
    window->SetEditorModified(false); // saved or dropped
    ASSERT_TRUE(PumpUntil([&] { return !window->Recovery().Writing(); }));
    EXPECT_FALSE(Exists());
}

TEST_F(RecoveryTest, AFailingCopyIsReportedOnceAndASessionEndThatCannotKeepTheTextGoesNotOn) {
    // A folder in the copy's place: neither a write nor a removal succeeds.
    fs::create_directories(RecoveryFilePath(folder.Path()) + "/busy");
    auto window = Start();
    window->Memo1()->setPlainText(Q("写不下"));
    ASSERT_TRUE(PumpUntil([&] { return !window->StatusText(3).isEmpty(); }));
    EXPECT_TRUE(window->StatusText(3).startsWith(Q("未能保存文章的恢复副本")));
    EXPECT_TRUE(desktop.messages.empty()); // no box while typing

    window->EndSession();
    EXPECT_FALSE(window->Exiting());
    ASSERT_EQ(desktop.messages.size(), 1u); // the error report
    EXPECT_EQ(window->Memo1()->toPlainText(), Q("写不下"));
}

} // namespace
} // namespace sonvela
