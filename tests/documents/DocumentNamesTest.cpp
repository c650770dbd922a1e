#include "DocumentNames.h"

#include <gtest/gtest.h>

namespace sonvela {
namespace {

TEST(DocumentNamesTest, OpenTakesTheExtensionAfterTheFileNamesLastDot) {
    EXPECT_EQ(KindForOpen("/texts/报价单.txt"), DocumentKind::Text);
    EXPECT_EQ(KindForOpen("/texts/报价单.TxT"), DocumentKind::Text);
    EXPECT_EQ(KindForOpen("/texts/a.DOC"), DocumentKind::Word);
    EXPECT_EQ(KindForOpen("/texts.txt/readme"), DocumentKind::Word);
    EXPECT_EQ(KindForOpen("/texts/a.txt.doc"), DocumentKind::Word);
}

TEST(DocumentNamesTest, HistoryTakesTheLastFourBytes) {
    EXPECT_EQ(KindForHistory("/a/b.TXT"), DocumentKind::Text);
    EXPECT_EQ(KindForHistory("/a/b.Doc"), DocumentKind::Word);
    EXPECT_EQ(KindForHistory("/a/b.rtf"), DocumentKind::Other);
    EXPECT_EQ(KindForHistory("txt"), DocumentKind::Other);
    EXPECT_TRUE(IsWordDocument("/a/b.DOC"));
    EXPECT_FALSE(IsWordDocument("/a/b.docx"));
}

TEST(DocumentNamesTest, SaveNamesGetOneTxtAndWordDocumentsAProposedTextName) {
    EXPECT_EQ(UntitledSaveName("/d/报价单"), "/d/报价单.txt");
    EXPECT_EQ(UntitledSaveName("/d/报价单.txt"), "/d/报价单.txt");
    EXPECT_EQ(UntitledSaveName("/d/报价单.TXT"), "/d/报价单.TXT");
    EXPECT_EQ(UntitledSaveName("/d/a.txt.bak"), "/d/a.txt.bak.txt");
    EXPECT_EQ(TextNameForDocument("/d/报告.doc"), "/d/报告.txt");
    EXPECT_EQ(TextNameForDocument("/d.x/noext"), "/d.x/noext.txt");
}

} // namespace
} // namespace sonvela
