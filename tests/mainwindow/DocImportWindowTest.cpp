// The Word import from the main window: the converter runs in the
// background, the window keeps answering, and "取消" ends it.
#include "DocImportProgress.h"
#include "DocumentTestSupport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTimer>
#include <filesystem>
#include <sys/stat.h>

namespace sonvela {
namespace {

using test::Q;

class DocImportWindowTest : public test::DocumentWindowTest {
protected:
    // A converter that takes its time: it says it started, then hangs.
    std::string SlowConverter() {
        const std::string script = folder.File("slow-converter");
        Write("slow-converter", "#!/bin/sh\ntouch '" + folder.File("started") + "'\nsleep 60\n");
        ::chmod(script.c_str(), 0755);
        return script;
    }
};

TEST_F(DocImportWindowTest, TheWindowAnswersDuringAnImportAndCancelEndsTheConverter) {
    const std::string document = Write("慢.doc", "not really a Word document");
    auto window = Open();
    window->SetDocConverters({SlowConverter(), "", std::chrono::seconds(120)});
    window->Memo1()->setPlainText(Q("旧的文章"));
    window->SetEditorModified(false);

    int ticks = 0;
    bool busyShown = false;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&] {
        ++ticks;
        auto* busy = window->findChild<QProgressDialog*>(QStringLiteral("DocImportProgress"));
        if (busy && busy->isVisible() && std::filesystem::exists(folder.File("started")) &&
            ticks > 10) {
            busyShown = true;
            auto* cancel = busy->findChild<QAbstractButton*>();
            ASSERT_NE(cancel, nullptr);
            EXPECT_EQ(cancel->text(), Q("取消"));
            cancel->click();
        }
    });
    clock.start(50);
    QElapsedTimer took;
    took.start();
    dialogs.openAnswer = Q(document);
    window->SB_openClick();
    clock.stop();

    EXPECT_TRUE(busyShown);
    EXPECT_GT(ticks, 10);             // the event loop ran while the converter did
    EXPECT_LT(took.elapsed(), 30000); // not the converter's 60 s
    // Called off: the same state as a failed import, without its message.
    EXPECT_TRUE(window->Memo1()->toPlainText().isEmpty());
    EXPECT_TRUE(window->CurrentFileName().empty());
    EXPECT_TRUE(desktop.messages.empty());
    // No temporary file is left beside the document.
    EXPECT_FALSE(std::filesystem::exists(folder.File("慢.rtf")));
}

TEST_F(DocImportWindowTest, AQuickImportShowsNoBusyBox) {
    if (FindDocConverters().antiword.empty())
        GTEST_SKIP() << "antiword is not installed";
    const std::string document = folder.File("特价.doc");
    std::filesystem::copy_file(
        std::string(SONVELA_SOURCE_DIR) + "/tests/documents/fixtures/特价.doc", document);
    auto window = Open();
    const ImportOutcome outcome = ImportDocShowingProgress(
        document, {FindDocConverters().antiword, "", std::chrono::seconds(60)}, window.get(),
        std::chrono::seconds(30));
    ASSERT_TRUE(outcome.text.has_value());
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(ImportDoc(document, {FindDocConverters().antiword, "", std::chrono::seconds(60)}),
              outcome.text);
    EXPECT_EQ(window->findChild<QProgressDialog*>(QStringLiteral("DocImportProgress")), nullptr);
}

} // namespace
} // namespace sonvela
