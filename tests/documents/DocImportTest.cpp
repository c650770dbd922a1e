#include "DocImport.h"

#include "AtomicFile.h"
#include "TempFolder.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

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

} // namespace
} // namespace sonvela
