// The value forms of the settings file: integers (decimal, "0x" or "$"
// hexadecimal), colours (the twenty names or "$" and eight hex digits of
// 0x00BBGGRR) and font styles ("[fsBold,fsItalic]").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sonvela {

// A colour as the settings file stores it: 0x00BBGGRR, red in the low byte.
using Color = std::uint32_t;

constexpr Color MakeColor(int red, int green, int blue) {
    return static_cast<Color>((blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF));
}
constexpr int ColorRed(Color c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int ColorGreen(Color c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int ColorBlue(Color c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

namespace colors {
constexpr Color clTeal = 0x808000;
constexpr Color clWhite = 0xFFFFFF;
} // namespace colors

// A whole 32-bit integer in one of the integer forms, or nothing. Decimal may
// be negative; "0x"/"0X" (with at least one digit) and "$" mark hexadecimal,
// whose eight digits fill all 32 bits ("$FFFFFFFF" is -1).
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

// The colour's name when it equals one of the twenty exactly, otherwise "$"
// and eight upper-case hexadecimal digits.
std::string ColorToString(Color color);

// A colour name of the table or an integer form; nothing for anything else.
std::optional<Color> StringToColor(std::string_view text);

struct FontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const FontStyle&) const = default;
};

// "[" + the set styles in the order fsBold, fsItalic, fsUnderline,
// fsStrikeOut joined by "," + "]".
std::string FontStyleToString(FontStyle style);

// A style is set when its name occurs anywhere in the text.
FontStyle StringToFontStyle(std::string_view text);

} // namespace sonvela
