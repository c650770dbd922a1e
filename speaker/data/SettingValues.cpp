#include "SettingValues.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace sonvela {
namespace {

struct NamedColor {
    std::string_view name;
    Color value;
};

constexpr std::array<NamedColor, 20> kNamedColors{{
    {"clBlack", 0x000000}, {"clMaroon", 0x000080},     {"clGreen", 0x008000},
    {"clOlive", 0x008080}, {"clNavy", 0x800000},       {"clPurple", 0x800080},
    {"clTeal", 0x808000},  {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},   {"clLime", 0x00FF00},       {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF},    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF}, {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
}};

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::optional<std::int32_t> ParseHex(std::string_view digits) {
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

constexpr std::array<std::string_view, 4> kStyleNames{"fsBold", "fsItalic", "fsUnderline",
                                                      "fsStrikeOut"};

} // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    // Blanks around a number are what a hand edit leaves behind.
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.size() > 2 && (text.starts_with("0x") || text.starts_with("0X")))
        return ParseHex(text.substr(2));
    if (!text.empty() && text.front() == '$')
        return ParseHex(text.substr(1));
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1); // "+5" is a whole number too; "+-5" is not
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

std::string ColorToString(Color color) {
    for (const NamedColor& named : kNamedColors)
        if (named.value == color)
            return std::string(named.name);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(color));
    return buffer;
}

std::optional<Color> StringToColor(std::string_view text) {
    for (const NamedColor& named : kNamedColors)
        if (EqualsNoCase(named.name, text))
            return named.value;
    if (const auto value = ParseIniInteger(text))
        return static_cast<Color>(*value);
    return std::nullopt;
}

std::string FontStyleToString(FontStyle style) {
    const std::array<bool, 4> set{style.bold, style.italic, style.underline, style.strikeOut};
    std::string out = "[";
    for (std::size_t i = 0; i < set.size(); ++i) {
        if (!set[i])
            continue;
        if (out.size() > 1)
            out += ',';
        out += kStyleNames[i];
    }
    return out + "]";
}

FontStyle StringToFontStyle(std::string_view text) {
    const auto has = [text](std::string_view name) {
        return text.find(name) != std::string_view::npos;
    };
    return FontStyle{has(kStyleNames[0]), has(kStyleNames[1]), has(kStyleNames[2]),
                     has(kStyleNames[3])};
}

} // namespace sonvela
