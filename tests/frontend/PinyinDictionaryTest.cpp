#include "PinyinDictionary.h"

#include "PinyinTable.h"
#include "PronunciationList.h"
#include "Utf8.h"

#include <gtest/gtest.h>
#include <string>

using namespace sonvela::frontend;

namespace {

PinyinDictionary::Match MatchAt(const PinyinDictionary& dictionary, std::string_view text) {
    return dictionary.LongestWordAt(DecodeUtf8(text));
}

} // namespace

TEST(PinyinDictionary, LongestWordWinsAndPrefixesAreNotWords) {
    // 银行行长 is a word but 银行行 is only on the way to it.
    const PinyinDictionary dictionary(
        "大学\n大学生\tda4 xue2 sheng1\n银行\tyin2 hang2\n银行行长\tyin2 hang2 hang2 zhang3\n"
        "行\txing2\r\n长期\tchang2 qi1");
    EXPECT_EQ(dictionary.size(), 5u);

    const auto bank = MatchAt(dictionary, "银行行业");
    EXPECT_EQ(bank.length, 2u);
    EXPECT_EQ(bank.reading, "yin2 hang2");
    const auto president = MatchAt(dictionary, "银行行长说");
    EXPECT_EQ(president.length, 4u);
    EXPECT_EQ(president.reading, "yin2 hang2 hang2 zhang3");
    // A word the voice reads right has no reading but still cuts the text.
    const auto university = MatchAt(dictionary, "大学里");
    EXPECT_EQ(university.length, 2u);
    EXPECT_TRUE(university.reading.empty());

    EXPECT_EQ(MatchAt(dictionary, "行长").length, 0u); // one character is no word
    EXPECT_EQ(MatchAt(dictionary, "长").length, 0u);
    EXPECT_EQ(MatchAt(dictionary, "").length, 0u);
    EXPECT_EQ(MatchAt(dictionary, "长期").reading, "chang2 qi1"); // last line, no newline

    EXPECT_EQ(dictionary.Reading("银行"), "yin2 hang2");
    EXPECT_EQ(dictionary.Reading("大学"), std::nullopt);
    EXPECT_EQ(dictionary.Reading("银行行"), std::nullopt);
    EXPECT_EQ(dictionary.Reading(""), std::nullopt);
    EXPECT_EQ(dictionary.CharacterReading(U'行'), "xing2"); // \r\n line end
    EXPECT_EQ(dictionary.CharacterReading(U'长'), std::nullopt);
}

TEST(PinyinDictionary, EmptyOrOddTableMatchesNothing) {
    const PinyinDictionary empty("");
    EXPECT_EQ(empty.size(), 0u);
    EXPECT_EQ(MatchAt(empty, "银行").length, 0u);
    const PinyinDictionary odd("\n\n\t\nab\tc\n");
    EXPECT_EQ(MatchAt(odd, "银行").length, 0u);
    EXPECT_EQ(odd.Reading("ab"), "c");
}

TEST(PinyinDictionary, BuiltinTableIsWellFormed) {
    // Every reading must be numbered pinyin the voice takes, one syllable a
    // character; a slip in the generator would make the voice spell letters.
    const std::string table = PinyinTableText();
    std::size_t lines = 0;
    std::size_t start = 0;
    std::string previous;
    while (start < table.size()) {
        const std::size_t end = table.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "the table ends with a line end";
        const std::string line = table.substr(start, end - start);
        start = end + 1;
        ++lines;
        const std::size_t tab = line.find('\t');
        const std::string word = line.substr(0, tab);
        ASSERT_FALSE(word.empty()) << "line " << lines;
        EXPECT_LT(previous, word) << "sorted and unique at line " << lines;
        previous = word;
        if (tab == std::string::npos)
            continue;
        std::string reading = line.substr(tab + 1);
        const std::size_t rank = reading.find('\t');
        if (rank != std::string::npos) {
            const std::string commonness = reading.substr(rank + 1);
            EXPECT_TRUE(commonness.size() == 1 && commonness[0] >= '1' && commonness[0] <= '9')
                << line;
            reading.resize(rank);
            if (reading.empty())
                continue; // a word the voice reads right, with its commonness
        }
        ASSERT_TRUE(IsNumberedPinyin(reading)) << line;
        EXPECT_EQ(reading.find(':'), std::string::npos) << line << ": the voice wants v for ü";
        EXPECT_EQ(reading.find("xx"), std::string::npos) << line << ": no reading known";
        std::size_t syllables = 1;
        for (const char c : reading)
            syllables += c == ' ';
        EXPECT_EQ(syllables, DecodeUtf8(word).size()) << line;
    }
    EXPECT_GT(lines, 50000u);
    EXPECT_LT(table.size(), 3u * 1024 * 1024);

    const PinyinDictionary& builtin = PinyinDictionary::Builtin();
    EXPECT_GT(builtin.size(), 50000u);
    EXPECT_EQ(builtin.Reading("银行"), "yin2 hang2");
    EXPECT_EQ(builtin.CharacterReading(U'是'), "shi4");
    // Words the voice's own word list misreads are pinned though their
    // characters have one reading each (it says gong xi xi, hong qiao qiao).
    EXPECT_EQ(builtin.Reading("恭喜"), "gong1 xi3");
    EXPECT_EQ(builtin.Reading("虹桥"), "hong2 qiao2");
}

TEST(PinyinDictionary, CommonnessIsTheOptionalThirdField) {
    const PinyinDictionary dictionary("本店\t\t1\n店长\tdian4 zhang3\t2\n长期\tchang2 qi1\t7\n"
                                      "长久\tchang2 jiu3\n长远\tchang2 yuan3\tx\n");
    const auto shop = MatchAt(dictionary, "本店");
    EXPECT_EQ(shop.length, 2u);
    EXPECT_TRUE(shop.reading.empty());
    EXPECT_EQ(shop.commonness, 1);
    EXPECT_EQ(MatchAt(dictionary, "店长").reading, "dian4 zhang3");
    EXPECT_EQ(MatchAt(dictionary, "店长").commonness, 2);
    EXPECT_EQ(MatchAt(dictionary, "长期").commonness, 7);
    EXPECT_EQ(dictionary.Reading("长期"), "chang2 qi1");
    EXPECT_EQ(MatchAt(dictionary, "长久").commonness, 0); // none given
    EXPECT_EQ(MatchAt(dictionary, "长远").commonness, 0); // no digit
    EXPECT_EQ(dictionary.Reading("长远"), "chang2 yuan3");
    EXPECT_EQ(dictionary.Reading("本店"), std::nullopt);
}
