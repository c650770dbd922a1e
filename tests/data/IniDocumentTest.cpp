#include "IniDocument.h"

#include <gtest/gtest.h>

using namespace sonvela;

TEST(IniDocument, NamesMatchWithoutCase) {
    const auto doc = IniDocument::Parse("[system]\r\nREADTIMES=5\r\n");
    EXPECT_EQ(doc.Find("System", "Readtimes"), "5");
    EXPECT_EQ(doc.Find("SYSTEM", "readtimes"), "5");
    EXPECT_EQ(doc.Find("Speaker", "Readtimes"), std::nullopt);
}

TEST(IniDocument, ValueIsTheRestOfTheLine) {
    const auto doc = IniDocument::Parse("[Memo]\nfontname=Noto Sans=CJK \nempty=\n");
    EXPECT_EQ(doc.Find("Memo", "fontname"), "Noto Sans=CJK ");
    EXPECT_EQ(doc.Find("Memo", "empty"), "");
}

TEST(IniDocument, WriteReplacesTheLineInPlace) {
    auto doc = IniDocument::Parse("[A]\r\nx=1\r\ny=2\r\n[B]\r\nx=3\r\n");
    doc.Set("a", "X", "9");
    EXPECT_EQ(doc.Serialize(), "[A]\r\nX=9\r\ny=2\r\n[B]\r\nx=3\r\n");
}

TEST(IniDocument, MissingKeyGoesToTheEndOfItsSection) {
    auto doc = IniDocument::Parse("[A]\r\nx=1\r\n\r\n[B]\r\nz=3\r\n");
    doc.Set("A", "y", "2");
    EXPECT_EQ(doc.Serialize(), "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
    doc.Set("B", "w", "4");
    EXPECT_EQ(doc.Serialize(), "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\nw=4\r\n");
}

TEST(IniDocument, MissingSectionGoesToTheEndOfTheFile) {
    auto doc = IniDocument::Parse("[A]\nx=1"); // LF file, no final line break
    doc.Set("Memo", "memocolor", "clTeal");
    EXPECT_EQ(doc.Serialize(), "[A]\nx=1\n[Memo]\nmemocolor=clTeal\n");

    auto empty = IniDocument::Parse("");
    empty.Set("Memo", "memocolor", "clTeal");
    EXPECT_EQ(empty.Serialize(), "[Memo]\r\nmemocolor=clTeal\r\n");
}

TEST(IniDocument, UnknownLinesSurviveWrites) {
    auto doc = IniDocument::Parse("; comment\r\ngarbage line\r\n[A]\r\nnot a pair\r\nx=1\r\n");
    doc.Set("A", "x", "2");
    EXPECT_EQ(doc.Serialize(), "; comment\r\ngarbage line\r\n[A]\r\nnot a pair\r\nx=2\r\n");
}
