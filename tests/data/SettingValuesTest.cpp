#include "SettingValues.h"

#include <gtest/gtest.h>

using namespace sonvela;

TEST(SettingValues, IntegerForms) {
    EXPECT_EQ(ParseIniInteger("42"), 42);
    EXPECT_EQ(ParseIniInteger("-7"), -7);
    EXPECT_EQ(ParseIniInteger(" 12 "), 12);
    EXPECT_EQ(ParseIniInteger("0x1F"), 31);
    EXPECT_EQ(ParseIniInteger("0X1f"), 31);
    EXPECT_EQ(ParseIniInteger("$FF"), 255);
    EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseIniInteger("0x"), std::nullopt); // "0x" alone is not hexadecimal
    EXPECT_EQ(ParseIniInteger("0"), 0);
}

TEST(SettingValues, MalformedIntegersGiveNothing) {
    for (const char* bad : {"", "-", "+", "abc", "12abc", "1.5", "$", "$G1", "0xZZ", "$123456789",
                            "99999999999", "--1", "+-1"})
        EXPECT_EQ(ParseIniInteger(bad), std::nullopt) << bad;
}

TEST(SettingValues, NamedColoursWriteTheirNames) {
    EXPECT_EQ(ColorToString(0x808000), "clTeal");
    EXPECT_EQ(ColorToString(0xFFFFFF), "clWhite");
    EXPECT_EQ(ColorToString(0xF0CAA6), "clSkyBlue");
    EXPECT_EQ(StringToColor("clMoneyGreen"), Color{0xC0DCC0});
    EXPECT_EQ(StringToColor("CLTEAL"), Color{0x808000});
}

TEST(SettingValues, OtherColoursRoundTripAsDollarHex) {
    const Color chosen = MakeColor(0x12, 0x34, 0x56);
    EXPECT_EQ(chosen, 0x563412u);
    EXPECT_EQ(ColorToString(chosen), "$00563412");
    EXPECT_EQ(StringToColor(ColorToString(chosen)), chosen);
    EXPECT_EQ(StringToColor("8421504"), Color{0x808080}); // decimal integers are colours too
    EXPECT_EQ(StringToColor("notacolour"), std::nullopt);
}

TEST(SettingValues, FontStyles) {
    EXPECT_EQ(FontStyleToString({}), "[]");
    EXPECT_EQ(FontStyleToString({true, false, true, false}), "[fsBold,fsUnderline]");
    EXPECT_EQ(FontStyleToString({true, true, true, true}),
              "[fsBold,fsItalic,fsUnderline,fsStrikeOut]");
    EXPECT_EQ(StringToFontStyle("[fsStrikeOut,fsItalic]"), (FontStyle{false, true, false, true}));
    // A style counts wherever its name stands.
    EXPECT_EQ(StringToFontStyle("xx fsBold yy"), (FontStyle{true, false, false, false}));
    EXPECT_EQ(StringToFontStyle("[]"), FontStyle{});
}
