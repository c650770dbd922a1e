#include "TraditionalChinese.h"

#include "GbkText.h"

#include <gtest/gtest.h>

namespace sonvela {
namespace {

GbkString Gbk(const char* utf8) {
    return Utf8ToGbk(utf8);
}

TEST(TraditionalForm, SpeakingBecomesTraditional) {
    EXPECT_EQ(GbkToUtf8(TraditionalForm(Gbk("说话。"))), "說話。");
    EXPECT_EQ(GbkToUtf8(TraditionalForm(Gbk("欢迎光临本店，价格实惠!"))),
              "歡迎光臨本店，價格實惠!");
}

TEST(TraditionalForm, AsciiPunctuationAndUnmappedCharactersStay) {
    const GbkString text = Gbk("Price: 12.5元 ※ %Date% 。，；");
    EXPECT_EQ(GbkToUtf8(TraditionalForm(text)), "Price: 12.5元 ※ %Date% 。，；");
}

TEST(TraditionalForm, FourByteCharactersAndCutBytesAreKept) {
    // A character outside GBK in its four-byte form, then a lone lead byte.
    GbkString text = Gbk("说😀话");
    text += '\xB5';
    const GbkString form = TraditionalForm(text);
    ASSERT_EQ(form.size(), text.size());
    EXPECT_EQ(form.substr(2, 4), text.substr(2, 4));
    EXPECT_EQ(form.back(), '\xB5');
    EXPECT_EQ(GbkToUtf8(form.substr(0, form.size() - 1)), "說😀話");
}

TEST(TraditionalForm, EveryLevelOneCharacterKeepsItsByteLength) {
    // GB2312 level one: rows 0xB0 to 0xD7 (0xD7FA-0xD7FE are empty).
    int changed = 0;
    for (int lead = 0xB0; lead <= 0xD7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            if (lead == 0xD7 && trail > 0xF9)
                continue;
            const GbkString character{static_cast<char>(lead), static_cast<char>(trail)};
            const GbkString form = TraditionalForm(character);
            ASSERT_EQ(form.size(), 2u) << std::hex << lead << trail;
            ASSERT_EQ(GbkCharLength(form, 0), 2u) << std::hex << lead << trail;
            // The form round-trips through Unicode: a real GBK character.
            ASSERT_EQ(Utf8ToGbk(GbkToUtf8(form)), form);
            changed += form != character;
        }
    }
    // Most of the common simplified characters have a traditional form.
    EXPECT_GT(changed, 1000);
}

TEST(TraditionalForm, OffsetsOfAWholeTextMatch) {
    const GbkString text = Gbk("第一行说话。\r\n第二行：门开了，电灯亮了！");
    const GbkString form = TraditionalForm(text);
    ASSERT_EQ(form.size(), text.size());
    GbkCharWalker a(text), b(form);
    for (; !a.AtEnd(); a.Advance(), b.Advance()) {
        ASSERT_EQ(a.Position(), b.Position());
        ASSERT_EQ(a.Current().size(), b.Current().size());
    }
    EXPECT_TRUE(b.AtEnd());
}

} // namespace
} // namespace sonvela
