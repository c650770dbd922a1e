// Every command that asks "文章已被修改，要保存吗？" and hears Yes goes on
// only when the save really happened: a cancelled dialog, a refused
// overwrite or a failed write leave the text, its name and its modified
// mark as they were, and the command does nothing else.
#include "DocumentTestSupport.h"
#include "GbkText.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <functional>

namespace sonvela {
namespace {

using test::Q;

enum class SaveOutcome { Cancelled, RefusedOverwrite, WriteFails };

struct Command {
    const char* name;
    std::function<void(Tf_speaker&)> run;
};

class SaveQuestionTest : public test::DocumentWindowTest,
                         public ::testing::WithParamInterface<std::tuple<int, SaveOutcome>> {
protected:
    static std::vector<Command> Commands() {
        return {
            {"exit", [](Tf_speaker& w) { w.SB_closeClick(); }},
            {"open", [](Tf_speaker& w) { w.SB_openClick(); }},
            {"new", [](Tf_speaker& w) { w.N35Click(); }},
            {"draft", [](Tf_speaker& w) { w.N43Click(); }},
            {"history",
             [](Tf_speaker& w) {
                 auto* list = w.findChild<QListWidget*>(QStringLiteral("ListBox1"));
                 list->setCurrentRow(0);
                 w.ListBox1DblClick();
             }},
        };
    }
};

TEST_P(SaveQuestionTest, AYesWhoseSaveDidNotHappenStopsTheCommand) {
    const auto [index, outcome] = GetParam();
    const Command command = Commands()[static_cast<std::size_t>(index)];
    const std::string other = Write("另一篇.txt", Utf8ToGbk("另一篇文章"));
    data = TDM::Connect(folder.Path());
    data->AddHistory(Utf8ToGbk(other));
    auto window = Open();
    window->TrayIcon()->show();

    window->Memo1()->setPlainText(Q("没保存的文章"));
    ASSERT_TRUE(window->EditorModified());
    desktop.answerYes = true;
    switch (outcome) {
    case SaveOutcome::Cancelled:
        dialogs.saveAnswer.reset();
        break;
    case SaveOutcome::RefusedOverwrite:
        // The name exists with ".txt" added; the second question (overwrite)
        // is answered No by switching the answer once the first was heard.
        Write("旧.txt", "old");
        dialogs.saveAnswer = Q(folder.File("旧"));
        break;
    case SaveOutcome::WriteFails:
        dialogs.saveAnswer = Q(folder.File("没有的文件夹/文章"));
        break;
    }
    dialogs.openAnswer = Q(other);
    if (outcome == SaveOutcome::RefusedOverwrite) {
        // Yes to "save?", No to "overwrite?".
        class YesThenNo final : public Desktop {
        public:
            void ShowMessage(const MessageRequest& r) override { messages.push_back(r); }
            bool AskYesNo(const MessageRequest& r) override {
                questions.push_back(r);
                return questions.size() == 1;
            }
            void ProcessPendingEvents(std::chrono::milliseconds) override {}
            std::vector<MessageRequest> messages, questions;
        } answering;
        Desktop* previous = InstallDesktop(&answering);
        command.run(*window);
        InstallDesktop(previous);
        ASSERT_EQ(answering.questions.size(), 2u) << command.name;
        EXPECT_EQ(Read(folder.File("旧.txt")), "old");
    } else {
        command.run(*window);
        ASSERT_GE(desktop.questions.size(), 1u) << command.name;
        EXPECT_EQ(desktop.questions[0].text, "文章已被修改，要保存吗？");
    }
    if (outcome == SaveOutcome::WriteFails) {
        ASSERT_EQ(desktop.messages.size(), 1u) << command.name; // the error report
        EXPECT_EQ(desktop.messages[0].caption, "Sonvela");
    }

    EXPECT_EQ(window->Memo1()->toPlainText(), Q("没保存的文章")) << command.name;
    EXPECT_TRUE(window->EditorModified()) << command.name;
    EXPECT_TRUE(window->CurrentFileName().empty()) << command.name;
    // Nothing after the question ran: no open dialog, no exit.
    EXPECT_TRUE(dialogs.openShownIn.empty()) << command.name;
    EXPECT_FALSE(window->Exiting()) << command.name;
    EXPECT_TRUE(window->TrayIcon()->isVisible()) << command.name;
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, SaveQuestionTest,
                         ::testing::Combine(::testing::Range(0, 5),
                                            ::testing::Values(SaveOutcome::Cancelled,
                                                              SaveOutcome::RefusedOverwrite,
                                                              SaveOutcome::WriteFails)));

// The other side: a save that happened lets the command go on.
class SavedTest : public test::DocumentWindowTest {};

TEST_F(SavedTest, AYesWhoseSaveHappenedLetsTheCommandGoOn) {
    const std::string other = Write("另一篇.txt", Utf8ToGbk("另一篇文章"));
    auto window = Open();
    window->Memo1()->setPlainText(Q("要保存的文章"));
    desktop.answerYes = true;
    dialogs.saveAnswer = Q(folder.File("保存了"));
    dialogs.openAnswer = Q(other);
    window->SB_openClick();
    EXPECT_EQ(Read(folder.File("保存了.txt")), Utf8ToGbk("要保存的文章"));
    EXPECT_EQ(window->Memo1()->toPlainText(), Q("另一篇文章"));
    EXPECT_EQ(window->CurrentFileName(), other);

    window->Memo1()->appendPlainText(Q("改"));
    window->SB_closeClick();
    EXPECT_EQ(Read(other), Utf8ToGbk("另一篇文章\r\n改"));
    EXPECT_TRUE(window->Exiting());
}

} // namespace
} // namespace sonvela
