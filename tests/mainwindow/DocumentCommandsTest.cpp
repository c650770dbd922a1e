#include "DocumentTestSupport.h"
#include "GbkText.h"
#include "TextFileCodec.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <filesystem>

namespace sonvela {
namespace {

using test::Q;
namespace fs = std::filesystem;

const std::string kFixture = std::string(SONVELA_SOURCE_DIR) + "/tests/documents/fixtures/特价.doc";

QString Decoded(const std::string& bytes) {
    const DecodedText decoded = DecodeTextFile(bytes);
    return QString(reinterpret_cast<const QChar*>(decoded.text.data()),
                   static_cast<qsizetype>(decoded.text.size()));
}

class DocumentCommandsTest : public test::DocumentWindowTest {
protected:
    // Opens a file through the open command's dialog.
    void OpenFile(Tf_speaker& window, const std::string& path) {
        dialogs.openAnswer = Q(path);
        window.SB_openClick();
    }
    QString Text(Tf_speaker& window) { return window.Memo1()->toPlainText(); }
    bool HistoryHas(const std::string& path) {
        return data->Q_history.LocateExact("filename", Utf8ToGbk(path));
    }
};

TEST_F(DocumentCommandsTest, NewDuringAReadingOnlyStopsItAndNewAfterwardsAsks) {
    auto window = Open();
    window->Memo1()->setPlainText(Q("正在朗读的文章"));
    window->Reading().isreading = true;
    window->N35Click();
    EXPECT_TRUE(window->Reading().stopreading.load());
    EXPECT_EQ(Text(*window), Q("正在朗读的文章"));
    EXPECT_TRUE(desktop.questions.empty());

    window->Reading().isreading = false;
    desktop.answerYes = false;
    window->N35Click();
    ASSERT_EQ(desktop.questions.size(), 1u);
    EXPECT_EQ(desktop.questions[0].text, "文章已被修改，要保存吗？");
    EXPECT_TRUE(Text(*window).isEmpty());
    // Clearing is a change: the empty text counts as modified.
    EXPECT_TRUE(window->EditorModified());
}

TEST_F(DocumentCommandsTest, NewOnAModifiedFileSavesItOnYesAndEmptiesTheEditorOnNo) {
    const std::string path = Write("通知.txt", Utf8ToGbk("旧的\r\n通知"));
    auto window = Open();
    OpenFile(*window, path);
    ASSERT_EQ(window->CurrentFileName(), path);
    EXPECT_EQ(Text(*window), Q("旧的\n通知"));
    EXPECT_EQ(window->StatusText(2), Q(path));

    window->Memo1()->appendPlainText(Q("新的"));
    desktop.answerYes = true;
    window->N35Click();
    EXPECT_EQ(Read(path), Utf8ToGbk("旧的\r\n通知\r\n新的"));
    EXPECT_EQ(Text(*window), Q("旧的\n通知\n新的"));
    EXPECT_EQ(window->CurrentFileName(), path);
    EXPECT_FALSE(window->EditorModified());
    EXPECT_TRUE(window->StatusText(2).isEmpty());

    window->Memo1()->appendPlainText(Q("再改"));
    desktop.answerYes = false;
    window->N35Click();
    EXPECT_TRUE(Text(*window).isEmpty());
    EXPECT_TRUE(window->CurrentFileName().empty());
    // A later save asks for a name and leaves the file alone.
    window->SB_saveClick();
    EXPECT_EQ(dialogs.saveProposed.size(), 1u);
    EXPECT_EQ(Read(path), Utf8ToGbk("旧的\r\n通知\r\n新的"));
}

TEST_F(DocumentCommandsTest, CancellingTheOpenDialogOnlyMovesTheCaretToTheStart) {
    auto window = Open();
    window->Memo1()->setPlainText(Q("第一行\n第二行"));
    window->SetEditorModified(false);
    window->Memo1()->moveCursor(QTextCursor::End);
    window->SB_openClick();
    EXPECT_EQ(dialogs.openShownIn.back(), Q(folder.Path()));
    EXPECT_EQ(dialogs.openFilters.back(), Q("文本文件(*.txt);;Word文件(*.doc)"));
    EXPECT_EQ(window->Memo1()->textCursor().position(), 0);
    EXPECT_EQ(Text(*window), Q("第一行\n第二行"));
    EXPECT_TRUE(desktop.questions.empty());
}

TEST_F(DocumentCommandsTest, OpeningRecordsTheFileOnceAndTheListChangesOnlyAtTheNextStart) {
    const std::string path = Write("a.txt", "one\rtwo\nthree\r\n");
    auto window = Open();
    auto* list = Child<QListWidget>(window.get(), "ListBox1");
    const int listed = list->count();
    OpenFile(*window, path);
    EXPECT_EQ(Text(*window), Q("one\ntwo\nthree\n"));
    OpenFile(*window, path);
    EXPECT_EQ(list->count(), listed);
    ASSERT_TRUE(HistoryHas(path));
    int rows = 0;
    for (data->Q_history.First(); !data->Q_history.Eof(); data->Q_history.Next())
        rows += data->Q_history.AsText("filename") == Utf8ToGbk(path);
    EXPECT_EQ(rows, 1);

    window.reset();
    auto again = Open();
    auto* newList = Child<QListWidget>(again.get(), "ListBox1");
    ASSERT_EQ(newList->count(), listed + 1);
    EXPECT_EQ(newList->item(0)->text(), Q(path));
}

TEST_F(DocumentCommandsTest, AWordDocumentWithAnUpperCaseExtensionIsImportedAndNeverOverwritten) {
    const std::string document = folder.File("特价.DOC");
    fs::copy_file(kFixture, document);
    const std::string original = Read(document);
    auto window = Open();
    OpenFile(*window, document);
    ASSERT_TRUE(desktop.messages.empty()) << desktop.messages[0].text;
    EXPECT_TRUE(Text(*window).contains(Q("各位顾客请注意，本店今日特价。\n苹果每斤六元")));
    EXPECT_EQ(window->CurrentFileName(), document);
    EXPECT_EQ(window->StatusText(2), Q(document));
    EXPECT_FALSE(window->EditorModified());
    EXPECT_TRUE(HistoryHas(document));

    // Saving proposes a text file beside the document instead.
    dialogs.saveAnswer = Q(folder.File("特价.txt"));
    window->SB_saveClick();
    EXPECT_EQ(dialogs.saveProposed.back(), Q(folder.File("特价.txt")));
    EXPECT_EQ(Read(document), original);
    EXPECT_EQ(Decoded(Read(folder.File("特价.txt"))), Text(*window));
    EXPECT_EQ(window->CurrentFileName(), document);
}

TEST_F(DocumentCommandsTest, AFailedImportLeavesAnEmptyUntitledTextAndStillRecordsThePath) {
    const std::string document = folder.File("特价.doc");
    fs::copy_file(kFixture, document);
    auto window = Open();
    window->SetDocConverters(DocConverters{});
    window->Memo1()->setPlainText(Q("原来的文章"));
    window->SetEditorModified(false);
    OpenFile(*window, document);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, document + " 可能已打开");
    EXPECT_EQ(desktop.messages[0].caption, "Sonvela");
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::None);
    EXPECT_TRUE(Text(*window).isEmpty());
    EXPECT_TRUE(window->CurrentFileName().empty());
    EXPECT_TRUE(HistoryHas(document));
}

TEST_F(DocumentCommandsTest,
       AMissingHistoryFileWarnsAndNamesTheFileAndDeletingAnEntryKeepsTheName) {
    const std::string present = Write("在.txt", Utf8ToGbk("历史里的文章"));
    data = TDM::Connect(folder.Path());
    data->AddHistory(Utf8ToGbk(present));
    auto window = Open();
    auto* list = Child<QListWidget>(window.get(), "ListBox1");
    ASSERT_EQ(list->count(), 2);
    ASSERT_EQ(list->item(0)->text(), Q(present));

    window->Memo1()->setPlainText(Q("留着"));
    window->SetEditorModified(false);
    list->setCurrentRow(1);
    const std::string missing = list->item(1)->text().toStdString();
    window->ListBox1DblClick();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "文件不存在!");
    EXPECT_EQ(Text(*window), Q("留着"));
    EXPECT_EQ(window->CurrentFileName(), missing);
    EXPECT_EQ(list->count(), 2);
    // The shipped entry is a path of another machine: saving asks for a name
    // rather than writing into the working folder.
    window->Memo1()->appendPlainText(Q("改"));
    window->SB_saveClick();
    EXPECT_EQ(dialogs.saveProposed.size(), 1u);
    EXPECT_FALSE(fs::exists(missing));
    window->SetEditorModified(false);

    list->setCurrentRow(0);
    window->ListBox1DblClick();
    EXPECT_EQ(Text(*window), Q("历史里的文章"));
    EXPECT_EQ(window->CurrentFileName(), present);
    EXPECT_EQ(window->StatusText(2), Q(present));
    EXPECT_FALSE(window->EditorModified());

    list->setCurrentRow(0);
    window->D2Click();
    EXPECT_EQ(list->count(), 1);
    EXPECT_FALSE(HistoryHas(present));
    EXPECT_EQ(window->CurrentFileName(), present);
    EXPECT_TRUE(HistoryHas(missing));
}

TEST_F(DocumentCommandsTest, AnUntitledTextGetsOneTxtAndTheOverwriteQuestionNamesTheRealFile) {
    auto window = Open();
    window->Memo1()->setPlainText(Q("报价"));
    dialogs.saveAnswer = Q(folder.File("报价单"));
    window->SB_saveClick();
    EXPECT_EQ(Read(folder.File("报价单.txt")), Utf8ToGbk("报价"));
    EXPECT_FALSE(window->EditorModified());
    EXPECT_TRUE(window->CurrentFileName().empty());

    window->Memo1()->setPlainText(Q("新报价"));
    dialogs.saveAnswer = Q(folder.File("报价单.txt"));
    desktop.answerYes = false;
    window->SB_saveClick();
    ASSERT_EQ(desktop.questions.size(), 1u);
    EXPECT_EQ(desktop.questions[0].text,
              "该文件: " + folder.File("报价单.txt") + " 已存在，要覆盖它吗？");
    EXPECT_EQ(Read(folder.File("报价单.txt")), Utf8ToGbk("报价"));
    EXPECT_TRUE(window->EditorModified());
    desktop.answerYes = true;
    window->SB_saveClick();
    EXPECT_EQ(Read(folder.File("报价单.txt")), Utf8ToGbk("新报价"));
    EXPECT_FALSE(fs::exists(folder.File("报价单.txt.txt")));
}

TEST_F(DocumentCommandsTest, Utf8AndUtf16FilesRoundTripByteForByte) {
    std::string utf16 = "\xFF\xFE";
    for (const char16_t unit : std::u16string(u"第一行\r\n第二行"))
        utf16 += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    const std::pair<const char*, std::string> files[] = {{"u8.txt", "第一行\r\n第二行：€"},
                                                         {"u8bom.txt", "\xEF\xBB\xBF第一行\r\n"},
                                                         {"u16.txt", utf16}};
    auto window = Open();
    for (const auto& [name, bytes] : files) {
        const std::string path = Write(name, bytes);
        OpenFile(*window, path);
        EXPECT_TRUE(Text(*window).startsWith(Q("第一行"))) << name;
        window->SB_saveClick();
        EXPECT_EQ(Read(path), bytes) << name;
        const std::string copy = folder.File(std::string("copy-") + name);
        dialogs.saveAnswer = Q(copy);
        window->N21Click();
        EXPECT_EQ(Read(copy), bytes) << name;
    }
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(DocumentCommandsTest, AnUnreadableEncodingOpensUntitledWithAWarningAndTheFileSurvives) {
    const std::string bytes = "abc\xFF\xFE\xFF def";
    const std::string path = Write("坏.txt", bytes);
    auto window = Open();
    OpenFile(*window, path);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(Text(*window).startsWith(Q("abc")));
    EXPECT_TRUE(window->CurrentFileName().empty());
    window->SB_saveClick();
    EXPECT_EQ(dialogs.saveProposed.size(), 1u);
    EXPECT_EQ(Read(path), bytes);
}

TEST_F(DocumentCommandsTest, AFailedSaveSaysSoAndLeavesTheTextModified) {
    auto window = Open();
    window->Memo1()->setPlainText(Q("不能丢"));
    dialogs.saveAnswer = Q(folder.File("no-such-folder/a.txt"));
    window->N21Click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(window->EditorModified());
}

} // namespace
} // namespace sonvela
