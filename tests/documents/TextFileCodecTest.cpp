#include "TextFileCodec.h"

#include "GbkText.h"

#include <gtest/gtest.h>

namespace sonvela {
namespace {

struct RoundTrip {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
};

TEST(TextFileCodecTest, FilesInEachEncodingRoundTripByteForByte) {
    const std::string chinese = "各位顾客请注意，\r\n今日特价：苹果每斤六元。\r\n";
    const std::u16string utf16 = u"各位顾客请注意，\r\n今日特价：苹果每斤六元。😀\r\n";
    auto utf16Bytes = [&](bool bigEndian) {
        std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : utf16) {
            const char hi = static_cast<char>(unit >> 8);
            const char lo = static_cast<char>(unit & 0xFF);
            out += bigEndian ? hi : lo;
            out += bigEndian ? lo : hi;
        }
        return out;
    };
    const RoundTrip cases[] = {
        {"gbk", Utf8ToGbk(chinese), TextEncoding::Gbk},
        {"utf-8", chinese, TextEncoding::Utf8},
        {"utf-8 with bom", "\xEF\xBB\xBF" + chinese, TextEncoding::Utf8Bom},
        {"utf-16le", utf16Bytes(false), TextEncoding::Utf16LeBom},
        {"utf-16be", utf16Bytes(true), TextEncoding::Utf16BeBom},
        {"ascii", "plain text\r\n", TextEncoding::Gbk},
    };
    for (const RoundTrip& c : cases) {
        const DecodedText decoded = DecodeTextFile(c.bytes);
        EXPECT_TRUE(decoded.valid) << c.name;
        EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
        EXPECT_EQ(decoded.text.find(u'\r'), std::u16string::npos) << c.name;
        EXPECT_EQ(EncodeTextFile(decoded.text, decoded.encoding), c.bytes) << c.name;
    }
    EXPECT_EQ(DecodeTextFile(Utf8ToGbk(chinese)).text.substr(0, 8), u"各位顾客请注意，");
}

TEST(TextFileCodecTest, EveryLineBreakBecomesOneAndIsWrittenAsCrLf) {
    const DecodedText decoded = DecodeTextFile("a\r\nb\rc\nd\r\r\ne");
    EXPECT_EQ(decoded.text, u"a\nb\nc\nd\n\ne");
    EXPECT_EQ(EncodeTextFile(decoded.text, decoded.encoding), "a\r\nb\r\nc\r\nd\r\n\r\ne");
    // No line end is added.
    EXPECT_EQ(EncodeTextFile(u"x", TextEncoding::Gbk), "x");
}

TEST(TextFileCodecTest, BytesValidInNoEncodingAreMarkedInvalid) {
    EXPECT_FALSE(DecodeTextFile("abc\xFF\xFF").valid);                      // no GBK lead byte 0xFF
    EXPECT_FALSE(DecodeTextFile("\xFF\xFE\x41").valid);                     // odd UTF-16
    EXPECT_FALSE(DecodeTextFile(std::string("\xFF\xFE\x00\xDC", 4)).valid); // lone low surrogate
    EXPECT_FALSE(DecodeTextFile("\xEF\xBB\xBF\xC0\x80").valid);             // overlong after a BOM
    // GB18030's own replacement character is a valid text.
    const DecodedText replacement = DecodeTextFile("\x84\x31\xA4\x37");
    EXPECT_TRUE(replacement.valid);
    EXPECT_EQ(replacement.text, u"\uFFFD");
    // An invalid file is still shown, as GBK.
    EXPECT_EQ(DecodeTextFile("ab\xFF").text.substr(0, 2), u"ab");
}

TEST(TextFileCodecTest, StrictUtf8) {
    EXPECT_TRUE(IsValidUtf8("\xE4\xB8\xAD\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));     // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));         // cut off
    // Real GBK Chinese is not mistaken for UTF-8.
    EXPECT_FALSE(IsValidUtf8(Utf8ToGbk("各位顾客请注意，今日特价")));
}

} // namespace
} // namespace sonvela
