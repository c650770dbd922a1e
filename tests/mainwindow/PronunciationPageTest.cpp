// The page "读音" of the system settings dialog in the main window: the
// operator's list is stored as typed, reaches the voices at once, and
// "试听" speaks the word through the chosen voice.
#include "DataModule.h"
#include "FrontEnd.h"
#include "GbkText.h"
#include "PronunciationTable.h"
#include "TFdelaytime.h"
#include "TestSpeechVoice.h"
#include "Tf_speaker.h"
#include "WindowTestSupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace sonvela {
namespace {

using Kind = TestSpeechVoice::CallKind;

struct Trial {
    std::string word, reading;
    int voice = -1;
};

class PronunciationPageTest : public ::testing::Test {
protected:
    void Open(bool withTrial) {
        data = TDM::Connect(folder.Path());
        MainWindowServices services{folder.Path(), data.get(), &voice, nullptr};
        services.frontEnd = &frontEnd;
        if (withTrial)
            services.tryPronunciation = [this](const std::string& w, const std::string& r,
                                               int index) {
                trials.push_back({w, r, index});
            };
        window = std::make_unique<Tf_speaker>(std::move(services));
        page = window->Fdelaytime()->Pronunciations();
        ASSERT_NE(page, nullptr);
        const QTabWidget* pages = window->Fdelaytime()->PageControl1();
        ASSERT_EQ(pages->count(), 4);
        EXPECT_EQ(pages->tabText(3), QStringLiteral("读音"));
        EXPECT_EQ(pages->widget(3), page);
    }

    void Type(const char* word, const char* reading) {
        page->WordEdit()->setText(QString::fromUtf8(word));
        page->ReadingEdit()->setText(QString::fromUtf8(reading));
    }

    void Select(int row) { page->Grid()->selectRow(row); }

    std::vector<std::pair<std::string, std::string>> Stored() const {
        std::vector<std::pair<std::string, std::string>> rows;
        for (const auto& row : PronunciationTable(data->Conn1).Rows())
            rows.emplace_back(row.word, row.reading);
        return rows;
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& message : desktop.messages)
            texts.push_back(message.text);
        return texts;
    }

    test::AnsweringDesktop desktop;
    test::ProgramFolder folder{false};
    TestSpeechVoice voice{std::chrono::microseconds(1)};
    frontend::FrontEnd frontEnd;
    std::unique_ptr<TDM> data;
    std::unique_ptr<Tf_speaker> window;
    PronunciationPage* page = nullptr;
    std::vector<Trial> trials;
};

TEST_F(PronunciationPageTest, AddChangeDeleteAreStoredAndReachTheVoicesAtOnce) {
    Open(true);
    Type("重庆", "chong2 qing4");
    page->AddClick();
    Type(" O'Neil\"; drop table draft; -- ", "欧尼尔");
    page->AddClick();
    using Rows = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(Stored(),
              (Rows{{"重庆", "chong2 qing4"}, {"O'Neil\"; drop table draft; --", "欧尼尔"}}));
    EXPECT_EQ(page->Grid()->rowCount(), 2);
    EXPECT_EQ(frontEnd.Prepare("到重庆", frontend::Dialect::Mandarin), "到chong2 qing4");

    // Selecting a row fills the fields; a change replaces that row only.
    Select(0);
    EXPECT_EQ(page->WordEdit()->text(), QStringLiteral("重庆"));
    Type("重庆", "zhong4 qing4");
    page->ChangeClick();
    EXPECT_EQ(Stored()[0], std::make_pair(std::string("重庆"), std::string("zhong4 qing4")));
    EXPECT_EQ(frontEnd.Prepare("重庆", frontend::Dialect::Mandarin), "zhong4 qing4");

    // A word already listed is not added twice; missing fields are named.
    Type("重庆", "chong2 qing4");
    page->AddClick();
    Type("", "x");
    page->AddClick();
    Type("词", "");
    page->AddClick();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"该词语已在表中，请选中后修改!", "请输入词语!",
                                                    "请输入读音!"}));
    EXPECT_EQ(Stored().size(), 2u);

    // Delete asks first; No keeps the row.
    Select(0);
    desktop.answerYes = false;
    page->DeleteClick();
    EXPECT_EQ(Stored().size(), 2u);
    desktop.answerYes = true;
    page->DeleteClick();
    EXPECT_EQ(Stored(), (Rows{{"O'Neil\"; drop table draft; --", "欧尼尔"}}));
    EXPECT_EQ(frontEnd.Prepare("重庆", frontend::Dialect::Mandarin),
              frontend::FrontEnd().Prepare("重庆", frontend::Dialect::Mandarin));

    // The list is in draft.dat: a new start shows it.
    window.reset();
    Open(true);
    EXPECT_EQ(page->Grid()->rowCount(), 1);
    EXPECT_EQ(page->Grid()->item(0, 1)->text(), QStringLiteral("欧尼尔"));
}

TEST_F(PronunciationPageTest, TryingSpeaksTheWordAsTypedThroughTheChosenVoice) {
    Open(true);
    Type("行长", "hang2 zhang3");
    page->TryClick();
    ASSERT_EQ(trials.size(), 1u);
    EXPECT_EQ(trials[0].word, "行长");
    EXPECT_EQ(trials[0].reading, "hang2 zhang3");
    EXPECT_EQ(trials[0].voice, 0);
    // Trying stores nothing.
    EXPECT_TRUE(Stored().empty());
}

TEST_F(PronunciationPageTest, WithoutATrialHookTheWordIsSpokenAsItStands) {
    Open(false);
    Type("行长", "");
    page->TryClick();
    std::vector<std::string> async;
    for (const auto& call : voice.Calls())
        if (call.kind == Kind::SpeakAsync)
            async.push_back(GbkToUtf8(call.text));
    EXPECT_EQ(async, std::vector<std::string>{"行长"});
}

} // namespace
} // namespace sonvela
