#include "DocImport.h"

#include "AtomicFile.h"
#include "TempFolder.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <stop_token>
#include <thread>

namespace sonvela {
namespace {

namespace fs = std::filesystem;

const std::string kFixture = std::string(SONVELA_SOURCE_DIR) + "/tests/documents/fixtures/特价.doc";

// antiword only: the tests must not depend on LibreOffice being there.
DocConverters Antiword() {
    DocConverters converters = FindDocConverters();
    converters.soffice.clear();
    return converters;
}

class DocImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (Antiword().antiword.empty())
            GTEST_SKIP() << "antiword is not installed";
        document = folder.File("特价.doc");
        fs::copy_file(kFixture, document);
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.WithSeparator()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempFolder folder;
    std::string document;
};

TEST_F(DocImportTest, AWordDocumentImportsToItsChineseTextAndLeavesNoTemporaryFile) {
    const auto text = ImportDoc(document, Antiword());
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find(u"各位顾客请注意，本店今日特价。\n苹果每斤六元，香蕉每斤四元五角。"),
              std::u16string::npos);
    EXPECT_EQ(text->find(u'\r'), std::u16string::npos);
    EXPECT_EQ(Names(), std::vector<std::string>{"特价.doc"});
}

TEST_F(DocImportTest, AFileUnderTheTemporaryNameSurvives) {
    const std::string taken = folder.File("特价.rtf");
    WriteFileAtomically(taken, "my own notes");
    ASSERT_TRUE(ImportDoc(document, Antiword()).has_value());
    EXPECT_EQ(ReadWholeFile(taken), std::optional<std::string>("my own notes"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"特价.doc", "特价.rtf"}));

    // The name claimed is the next free one, and it is created exclusively.
    const auto claimed = ClaimTemporaryName(document);
    ASSERT_TRUE(claimed.has_value());
    EXPECT_EQ(*claimed, folder.File("特价~1.rtf"));
    EXPECT_EQ(ClaimTemporaryName(document), std::optional<std::string>(folder.File("特价~2.rtf")));
}

TEST_F(DocImportTest, NoConverterOrAFailedConversionImportsNothing) {
    EXPECT_FALSE(ImportDoc(document, DocConverters{}).has_value());
    const std::string broken = folder.File("broken.doc");
    WriteFileAtomically(broken, "this is no Word document at all");
    EXPECT_FALSE(ImportDoc(broken, Antiword()).has_value());
    EXPECT_FALSE(ImportDoc(folder.File("missing.doc"), Antiword()).has_value());
    EXPECT_EQ(Names(), (std::vector<std::string>{"broken.doc", "特价.doc"}));
}

TEST(RunForOutputTest, AProgramThatHangsIsEndedAtTheTimeout) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(RunForOutput({"/bin/sleep", "30"}, std::chrono::seconds(1)).has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(RunForOutput({"/bin/echo", "hi"}, std::chrono::seconds(5)),
              std::optional<std::string>("hi\n"));
    EXPECT_FALSE(RunForOutput({"/bin/false"}, std::chrono::seconds(5)).has_value());
}

TEST(RunForOutputTest, AStopRequestEndsTheProgramAndWhatItStarted) {
    // A converter that hangs in a child of its own, as LibreOffice does.
    test::TempFolder folder;
    const std::string pidFile = folder.File("child.pid");
    std::stop_source stop;
    std::thread caller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop.request_stop();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(RunForOutput({"/bin/sh", "-c", "sleep 60 & echo $! >" + pidFile + "; wait"},
                              std::chrono::seconds(60), stop.get_token())
                     .has_value());
    caller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    const auto child = ReadWholeFile(pidFile);
    ASSERT_TRUE(child.has_value());
    const pid_t pid = std::stoi(*child);
    // Killed with its parent (a zombie at most until its reaper collects it).
    bool gone = false;
    for (int i = 0; i < 200 && !gone; ++i) {
        const auto state = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
        gone = !state || state->find(") Z") != std::string::npos;
        if (!gone)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    EXPECT_TRUE(gone);
}

TEST_F(DocImportTest, AStoppedImportReturnsNothingAndLeavesNoTemporaryFile) {
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(ImportDoc(document, Antiword(), stop.get_token()).has_value());
    EXPECT_EQ(Names(), std::vector<std::string>{"特价.doc"});
}

} // namespace
} // namespace sonvela
