#include "EncodingGuess.h"

#include "GbkText.h"
#include "TextFileCodec.h"

#include <array>
#include <memory>
#include <uchardet/uchardet.h>

namespace sonvela {
namespace {

// Rarity steps. A text is read the way whose characters add up to less.
constexpr int kCommon = 0;
constexpr int kSecondLevel = 1;
// Second-level characters in the rows E4–E9 with a second byte A1–BF are
// exactly what a UTF-8 Chinese character's first two bytes look like in
// GBK (E4 B8 of "中" is "涓"); real texts hardly ever hold them.
constexpr int kUtf8Lookalike = 2;
constexpr int kSymbols = 2;
constexpr int kGbkOnly = 3;
constexpr int kImplausible = 10;

int RarityOfGbkPair(unsigned lead, unsigned trail) {
    if (trail >= 0xA1 && trail <= 0xFE) {
        if (lead >= 0xB0 && lead <= 0xD7)
            return kCommon; // first level
        if (lead >= 0xA1 && lead <= 0xA3)
            return kCommon; // punctuation, full-width forms
        if (lead >= 0xE4 && lead <= 0xE9 && trail <= 0xBF)
            return kUtf8Lookalike;
        if (lead >= 0xD8 && lead <= 0xF7)
            return kSecondLevel;
        if (lead >= 0xA4 && lead <= 0xA9)
            return kSymbols; // kana, Greek, Cyrillic, pinyin, box drawing
        return kImplausible; // user-defined areas
    }
    if (lead >= 0xA1 && lead <= 0xA7)
        return kImplausible; // user-defined area A140–A7A0
    return kGbkOnly;
}

// The rarity of every UTF-16 code unit, from the GBK table itself.
std::unique_ptr<std::array<unsigned char, 0x10000>> BuildRarityTable() {
    auto table = std::make_unique<std::array<unsigned char, 0x10000>>();
    table->fill(kImplausible);
    for (unsigned c = 0x20; c < 0x7F; ++c)
        (*table)[c] = kCommon;
    for (const char16_t c : {u'\t', u'\n', u'\r', u'\u2028', u'\u2029', u'\u00A0', u'\uFEFF'})
        (*table)[c] = kCommon;
    // General punctuation (dashes, quotes, spaces) that GB2312 lacks.
    for (unsigned c = 0x2000; c <= 0x206F; ++c)
        (*table)[c] = kSecondLevel;
    std::string pair(2, '\0');
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            pair[0] = static_cast<char>(lead);
            pair[1] = static_cast<char>(trail);
            const std::u16string unit = GbkToUtf16(pair);
            if (unit.size() == 1 && unit[0] != u'\uFFFD') {
                const int rarity = RarityOfGbkPair(lead, trail);
                if (rarity < (*table)[unit[0]])
                    (*table)[unit[0]] = static_cast<unsigned char>(rarity);
            }
        }
    }
    return table;
}

const std::array<unsigned char, 0x10000>& RarityTable() {
    static const auto table = BuildRarityTable();
    return *table;
}

int RarityAsUtf8(std::string_view bytes) {
    int total = 0;
    for (const char16_t unit : Utf8ToUtf16(bytes))
        total += RarityOfUnit(unit);
    return total;
}

// Nothing when the bytes are no valid GBK (GB18030) text.
int RarityAsGbk(std::string_view bytes) {
    int total = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = GbkCharLength(bytes, i);
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (length == 2)
            total += RarityOfGbkPair(lead, static_cast<unsigned char>(bytes[i + 1]));
        else if (length != 1 || lead >= 0x80)
            total += kImplausible; // four-byte forms, lone bytes
        else if (lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r')
            total += kImplausible;
        i += length == 0 ? 1 : length;
    }
    return total;
}

bool ValidGbk(std::string_view bytes) {
    const std::u16string text = GbkToUtf16(bytes);
    return text.find(u'\uFFFD') == std::u16string::npos ||
           bytes.find("\x84\x31\xA4\x37") != std::string_view::npos;
}

// The well-kept detector's opinion, asked only about texts that hold
// letters of alphabetic scripts in their UTF-8 reading (a European text
// saved as UTF-8), where the rarity of Chinese characters says little.
bool DetectorSaysUtf8(std::string_view bytes) {
    uchardet_t detector = uchardet_new();
    if (!detector)
        return false;
    const bool fed = uchardet_handle_data(detector, bytes.data(), bytes.size()) == 0;
    uchardet_data_end(detector);
    const std::string_view charset = fed ? uchardet_get_charset(detector) : "";
    const bool utf8 = charset == "UTF-8";
    uchardet_delete(detector);
    return utf8;
}

bool HasAlphabeticLetters(std::string_view bytes) {
    for (const char16_t unit : Utf8ToUtf16(bytes))
        if (unit >= 0x00C0 && unit < 0x0800 && unit != 0x00D7 && unit != 0x00F7)
            return true;
    return false;
}

bool HasNonAscii(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// A large file is judged by its beginning: 64 KB of text decide as well as
// megabytes, and the open of a long text should not pay three conversions.
// The cut is made after a line break, a boundary in either encoding.
std::string_view Sample(std::string_view bytes) {
    constexpr std::size_t kSample = 64 * 1024;
    if (bytes.size() <= kSample)
        return bytes;
    const std::size_t lineEnd = bytes.rfind('\n', kSample);
    return lineEnd == std::string_view::npos ? bytes : bytes.substr(0, lineEnd + 1);
}

} // namespace

int RarityOfUnit(char16_t unit) {
    return RarityTable()[unit];
}

bool LooksLikeUtf8(std::string_view bytes) {
    if (!HasNonAscii(bytes) || !IsValidUtf8(bytes))
        return false;
    if (const std::string_view sample = Sample(bytes); HasNonAscii(sample))
        bytes = sample;
    if (!ValidGbk(bytes))
        return true;
    const int asUtf8 = RarityAsUtf8(bytes);
    const int asGbk = RarityAsGbk(bytes);
    // Equal rarity above zero: every UTF-8 Chinese run starts with a pair
    // that GBK reads as second-level or worse, so a tie means the UTF-8
    // reading had only rare characters to match it with.
    if (asUtf8 < asGbk || (asUtf8 == asGbk && asUtf8 > 0))
        return true;
    return HasAlphabeticLetters(bytes) && bytes.size() >= 32 && DetectorSaysUtf8(bytes);
}

} // namespace sonvela
