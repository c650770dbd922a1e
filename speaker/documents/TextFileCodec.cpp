#include "TextFileCodec.h"

#include "EncodingGuess.h"
#include "GbkText.h"

namespace sonvela {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// U+FFFD in GB18030: the one way a valid GBK file decodes to a replacement
// character.
constexpr std::string_view kReplacementGb18030 = "\x84\x31\xA4\x37";

unsigned char Byte(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

// Decodes UTF-16 of the given byte order; false on an odd length or an
// unpaired surrogate.
bool DecodeUtf16(std::string_view bytes, bool bigEndian, std::u16string& out) {
    if (bytes.size() % 2 != 0)
        return false;
    out.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const unsigned hi = Byte(bytes, 2 * i + (bigEndian ? 0 : 1));
        const unsigned lo = Byte(bytes, 2 * i + (bigEndian ? 1 : 0));
        out[i] = static_cast<char16_t>((hi << 8) | lo);
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char16_t unit = out[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 >= out.size() || out[i + 1] < 0xDC00 || out[i + 1] > 0xDFFF)
                return false;
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

void AppendUtf16(std::string& out, std::u16string_view text, bool bigEndian) {
    for (const char16_t unit : text) {
        const char hi = static_cast<char>(unit >> 8);
        const char lo = static_cast<char>(unit & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
}

} // namespace

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const unsigned char c = Byte(s, i);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0; // overlong
            else if (c == 0xED)
                high = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90; // overlong
            else if (c == 0xF4)
                high = 0x8F; // above U+10FFFF
        } else {
            return false;
        }
        if (i + length > n)
            return false;
        const unsigned char second = Byte(s, i + 1);
        if (second < low || second > high)
            return false;
        for (std::size_t k = 2; k < length; ++k)
            if ((Byte(s, i + k) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = Byte(s, i);
        char32_t code = 0xFFFD;
        std::size_t length = 1;
        if (c < 0x80) {
            code = c;
        } else if (c >= 0xC0 && c < 0xE0 && i + 1 < s.size()) {
            code = ((c & 0x1Fu) << 6) | (Byte(s, i + 1) & 0x3Fu);
            length = 2;
        } else if (c >= 0xE0 && c < 0xF0 && i + 2 < s.size()) {
            code = ((c & 0x0Fu) << 12) | ((Byte(s, i + 1) & 0x3Fu) << 6) | (Byte(s, i + 2) & 0x3Fu);
            length = 3;
        } else if (c >= 0xF0 && c < 0xF8 && i + 3 < s.size()) {
            code = ((c & 0x07u) << 18) | ((Byte(s, i + 1) & 0x3Fu) << 12) |
                   ((Byte(s, i + 2) & 0x3Fu) << 6) | (Byte(s, i + 3) & 0x3Fu);
            length = 4;
        }
        if (code >= 0x10000 && code <= 0x10FFFF) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += code > 0xFFFF ? u'\uFFFD' : static_cast<char16_t>(code);
        }
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size() * 3);
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t code = s[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::u16string NormalizeLineBreaks(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            out += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

DecodedText DecodeTextFile(std::string_view bytes) {
    DecodedText result;
    std::u16string text;
    if (bytes.size() >= 2 && Byte(bytes, 0) == 0xFF && Byte(bytes, 1) == 0xFE) {
        result.encoding = TextEncoding::Utf16LeBom;
        result.valid = DecodeUtf16(bytes.substr(2), false, text);
    } else if (bytes.size() >= 2 && Byte(bytes, 0) == 0xFE && Byte(bytes, 1) == 0xFF) {
        result.encoding = TextEncoding::Utf16BeBom;
        result.valid = DecodeUtf16(bytes.substr(2), true, text);
    } else if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        result.encoding = TextEncoding::Utf8Bom;
        result.valid = IsValidUtf8(bytes.substr(kUtf8Bom.size()));
        text = Utf8ToUtf16(bytes.substr(kUtf8Bom.size()));
    } else if (LooksLikeUtf8(bytes)) {
        result.encoding = TextEncoding::Utf8;
        text = Utf8ToUtf16(bytes);
    } else {
        result.encoding = TextEncoding::Gbk;
        text = GbkToUtf16(bytes);
        // The decoder turns every byte that starts no character into U+FFFD.
        if (text.find(u'\uFFFD') != std::u16string::npos &&
            bytes.find(kReplacementGb18030) == std::string_view::npos)
            result.valid = false;
    }
    if (!result.valid && text.empty())
        text = GbkToUtf16(bytes);
    result.lineBreak = LineBreakOf(text);
    result.text = NormalizeLineBreaks(text);
    return result;
}

LineBreak LineBreakOf(std::u16string_view text) {
    bool lf = false, cr = false, crlf = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            crlf = true;
            ++i;
        } else if (text[i] == u'\r') {
            cr = true;
        } else if (text[i] == u'\n') {
            lf = true;
        }
    }
    if (lf && !cr && !crlf)
        return LineBreak::Lf;
    if (cr && !lf && !crlf)
        return LineBreak::Cr;
    return LineBreak::CrLf;
}

std::string EncodeTextFile(std::u16string_view text, TextEncoding encoding, LineBreak lineBreak) {
    std::u16string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (const char16_t unit : text) {
        if (unit != u'\n')
            crlf += unit;
        else if (lineBreak == LineBreak::CrLf)
            crlf += u"\r\n";
        else
            crlf += lineBreak == LineBreak::Lf ? u'\n' : u'\r';
    }
    std::string out;
    switch (encoding) {
    case TextEncoding::Gbk:
        return Utf16ToGbk(crlf);
    case TextEncoding::Utf8Bom:
        out = kUtf8Bom;
        [[fallthrough]];
    case TextEncoding::Utf8:
        return out + Utf16ToUtf8(crlf);
    case TextEncoding::Utf16LeBom:
        out = "\xFF\xFE";
        AppendUtf16(out, crlf, false);
        return out;
    case TextEncoding::Utf16BeBom:
        out = "\xFE\xFF";
        AppendUtf16(out, crlf, true);
        return out;
    }
    return out;
}

} // namespace sonvela
