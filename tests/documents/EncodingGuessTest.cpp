// Short GBK texts must not be taken for UTF-8, and UTF-8 Chinese must be
// recognised from one character up. The strings are built from the 3,500
// most frequent characters (fixtures/common-chars.txt, made by the script
// beside it): every string of one and two characters in full, and strings
// of three and four characters sampled, half of them drawn so that their
// GBK bytes are valid UTF-8, the only ones that can be misread.
#include "EncodingGuess.h"

#include "GbkText.h"
#include "TextFileCodec.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <random>

namespace sonvela {
namespace {

const std::string kCommonChars =
    std::string(SONVELA_SOURCE_DIR) + "/tests/documents/fixtures/common-chars.txt";

std::vector<std::string> CommonCharsUtf8() {
    std::ifstream in(kCommonChars, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> chars;
    for (std::size_t i = 0; i + 3 <= all.size(); i += 3)
        chars.push_back(all.substr(i, 3));
    return chars;
}

std::vector<std::string> ToGbk(const std::vector<std::string>& utf8) {
    std::vector<std::string> gbk;
    for (const std::string& c : utf8)
        gbk.push_back(Utf8ToGbk(c));
    return gbk;
}

struct Tally {
    long tried = 0;
    long wrong = 0;
    std::vector<std::string> examples;
    void Check(bool right, const std::string& utf8) {
        ++tried;
        if (!right) {
            ++wrong;
            if (examples.size() < 10)
                examples.push_back(utf8);
        }
    }
    void Report(const char* what) const {
        std::cout << what << ": " << wrong << " of " << tried << " misread ("
                  << (tried ? 100.0 * static_cast<double>(wrong) / static_cast<double>(tried) : 0)
                  << "%)\n";
        for (const std::string& e : examples)
            ADD_FAILURE() << what << " misread: " << e;
    }
};

// Whether `bytes` can still become valid UTF-8: valid already, or valid
// once one to three continuation bytes follow. Steers the draw only; each
// finished string is checked with IsValidUtf8.
bool CanStartUtf8(const std::string& bytes) {
    for (std::size_t owed = 0; owed <= 3; ++owed)
        if (IsValidUtf8(bytes + std::string(owed, '\x80')))
            return true;
    return false;
}

TEST(EncodingGuess, ShortGbkTextsOfCommonCharactersOpenAsGbk) {
    const std::vector<std::string> utf8 = CommonCharsUtf8();
    ASSERT_EQ(utf8.size(), 3500u) << kCommonChars;
    const std::vector<std::string> gbk = ToGbk(utf8);

    Tally one, two, threeFour, threeFourUtf8Like;
    for (std::size_t a = 0; a < gbk.size(); ++a) {
        one.Check(!LooksLikeUtf8(gbk[a]), utf8[a]);
        for (std::size_t b = 0; b < gbk.size(); ++b)
            two.Check(!LooksLikeUtf8(gbk[a] + gbk[b]), utf8[a] + utf8[b]);
    }
    std::mt19937 random(13);
    std::uniform_int_distribution<std::size_t> pick(0, gbk.size() - 1);
    for (int n = 0; n < 200000; ++n) {
        std::string bytes, text;
        for (int k = 0, length = 3 + n % 2; k < length; ++k) {
            const std::size_t c = pick(random);
            bytes += gbk[c];
            text += utf8[c];
        }
        threeFour.Check(!LooksLikeUtf8(bytes), text);
    }
    // Strings whose GBK bytes are valid UTF-8, drawn character by character
    // among those that keep the bytes a possible start of UTF-8.
    while (threeFourUtf8Like.tried < 200000) {
        std::string bytes, text;
        const int length = 3 + static_cast<int>(threeFourUtf8Like.tried % 2);
        for (int k = 0; k < length; ++k) {
            std::size_t c = 0;
            int attempts = 0;
            do {
                c = pick(random);
            } while (!CanStartUtf8(bytes + gbk[c]) && ++attempts < 3000);
            bytes += gbk[c];
            text += utf8[c];
        }
        if (IsValidUtf8(bytes))
            threeFourUtf8Like.Check(!LooksLikeUtf8(bytes), text);
    }
    one.Report("GBK, one character (all)");
    two.Report("GBK, two characters (all)");
    threeFour.Report("GBK, three and four characters (sampled)");
    threeFourUtf8Like.Report("GBK, three and four characters valid as UTF-8 (sampled)");
}

TEST(EncodingGuess, Utf8ChineseOpensAsUtf8FromOneCharacterUp) {
    const std::vector<std::string> utf8 = CommonCharsUtf8();
    ASSERT_EQ(utf8.size(), 3500u);
    Tally one, two, longer;
    for (const std::string& a : utf8)
        one.Check(LooksLikeUtf8(a), a);
    std::mt19937 random(17);
    std::uniform_int_distribution<std::size_t> pick(0, utf8.size() - 1);
    for (int n = 0; n < 300000; ++n) {
        const std::string text = utf8[pick(random)] + utf8[pick(random)];
        two.Check(LooksLikeUtf8(text), text);
    }
    const char* const punctuation[] = {"，", "。", "：", "！", "\r\n", " ", "1", "元", "（", "）"};
    for (int n = 0; n < 100000; ++n) {
        std::string text;
        for (int k = 0, length = 3 + n % 20; k < length; ++k)
            text += k % 5 == 4 ? punctuation[random() % 10] : utf8[pick(random)];
        longer.Check(LooksLikeUtf8(text), text);
    }
    one.Report("UTF-8, one character (all)");
    two.Report("UTF-8, two characters (sampled)");
    longer.Report("UTF-8, 3-22 characters with punctuation (sampled)");
}

TEST(EncodingGuess, EverydayTexts) {
    // The texts of a price list and a sign, each both ways.
    for (const std::string text :
         {"一元", "营业\r\n谢谢", "今日特价：苹果每斤6.5元！", "欢迎光临", "深圳", "请排队",
          "价格\xC2\xA0"
          "100元",
          "“打折”——全场八折…", "Grüße aus München, café crème"}) {
        if (text.find("Gr") != 0) {
            EXPECT_FALSE(LooksLikeUtf8(Utf8ToGbk(text))) << text << " in GBK";
        }
        EXPECT_TRUE(LooksLikeUtf8(text)) << text << " in UTF-8";
    }
    EXPECT_EQ(DecodeTextFile("\xD2\xBB\xD4\xAA").text, u"一元");
    // A long file is judged by its beginning, or by all of it when the
    // beginning is plain ASCII.
    const std::string line = "今日特价：苹果每斤六元。\r\n";
    std::string longText;
    while (longText.size() < 200 * 1024)
        longText += line;
    EXPECT_TRUE(LooksLikeUtf8(longText));
    EXPECT_FALSE(LooksLikeUtf8(Utf8ToGbk(longText)));
    EXPECT_TRUE(LooksLikeUtf8(std::string(100 * 1024, 'a') + "\n" + line));
    // ASCII is the same either way and stays the system's GBK.
    EXPECT_FALSE(LooksLikeUtf8("plain text"));
}

} // namespace
} // namespace sonvela
