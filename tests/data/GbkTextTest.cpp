#include "GbkText.h"

#include <gtest/gtest.h>
#include <vector>

using namespace sonvela;

namespace {

// "A中€😀b" in GBK: 中 is D6D0, the euro sign is 0x80 in code page 936, and
// the emoji lies outside GBK, so it takes GB18030's four-byte form.
const std::string kMixedGbk = "A\xD6\xD0\x80\x94\x39\xFC\x36"
                              "b";
const std::string kMixedUtf8 = "A\xE4\xB8\xAD\xE2\x82\xAC\xF0\x9F\x98\x80"
                               "b";

std::vector<std::string> Characters(std::string_view text) {
    std::vector<std::string> out;
    for (GbkCharWalker w(text); !w.AtEnd(); w.Advance())
        out.emplace_back(w.Current());
    return out;
}

} // namespace

TEST(GbkText, WalkerStepsByWholeCharactersOfEveryWidth) {
    EXPECT_EQ(Characters(kMixedGbk),
              (std::vector<std::string>{"A", "\xD6\xD0", "\x80", "\x94\x39\xFC\x36", "b"}));
}

TEST(GbkText, WalkerNeverRunsPastABrokenEnd) {
    // A lead byte at the end, a lead byte before a line break, and a
    // four-byte form cut short each count one byte at a time.
    EXPECT_EQ(Characters("a\xD6"), (std::vector<std::string>{"a", "\xD6"}));
    EXPECT_EQ(Characters("\xD6\n"), (std::vector<std::string>{"\xD6", "\n"}));
    EXPECT_EQ(Characters("\x95\x32\x82"), (std::vector<std::string>{"\x95", "\x32", "\x82"}));
}

TEST(GbkText, WholeCharPrefixNeverSplitsACharacter) {
    const std::string text = "ab\xD6\xD0\xCE\xC4"; // ab中文
    EXPECT_EQ(GbkWholeCharPrefix(text, 3), 2u);
    EXPECT_EQ(GbkWholeCharPrefix(text, 4), 4u);
    EXPECT_EQ(GbkWholeCharPrefix(text, 5), 4u);
    EXPECT_EQ(GbkWholeCharPrefix(text, 100), text.size());
    EXPECT_EQ(GbkWholeCharPrefix(kMixedGbk, 6), 4u); // stops before the four-byte form
}

TEST(GbkText, BlankMeansOnlyBytesUpTo32) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(std::string(" \t\r\n\x01\x1F ", 7)));
    EXPECT_FALSE(IsBlank(" x "));
    EXPECT_FALSE(IsBlank("\xA1\xA1")); // the full-width space is text
}

TEST(GbkText, RightCharsCountsBytes) {
    EXPECT_EQ(RightChars("abcdef", 2), "ef");
    EXPECT_EQ(RightChars("ab", 5), "ab");
    EXPECT_EQ(RightChars("", 3), "");
}

TEST(GbkText, ConvertsMixedTextBothWaysWithoutLoss) {
    EXPECT_EQ(GbkToUtf8(kMixedGbk), kMixedUtf8);
    EXPECT_EQ(Utf8ToGbk(kMixedUtf8), kMixedGbk);
    const std::u16string utf16 = GbkToUtf16(kMixedGbk);
    EXPECT_EQ(utf16, u"A中€😀b");
    EXPECT_EQ(Utf16ToGbk(utf16), kMixedGbk);
}

TEST(GbkText, InvalidInputBecomesReplacementsNotCrashes) {
    EXPECT_EQ(GbkToUtf8("a\xFF"
                        "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(GbkToUtf8("a\xD6"), "a\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToGbk("a\xC3(b"), "a?(b");
    EXPECT_EQ(Utf16ToGbk(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a?b");
}

TEST(GbkText, LongTextConvertsBeyondOneBuffer) {
    std::string gbk;
    for (int i = 0; i < 5000; ++i)
        gbk += "\xC4\xE3\xBA\xC3 "; // 你好
    const std::string utf8 = GbkToUtf8(gbk);
    EXPECT_EQ(utf8.size(), 5000u * 7);
    EXPECT_EQ(Utf8ToGbk(utf8), gbk);
}
