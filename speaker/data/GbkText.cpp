#include "GbkText.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace sonvela {
namespace {

bool IsLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}
bool IsFourByteDigit(unsigned char b) {
    return b >= 0x30 && b <= 0x39;
}

constexpr unsigned char kEuroByte = 0x80;
constexpr std::string_view kEuroUtf8 = "\xE2\x82\xAC";
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// One converter per thread and direction: iconv descriptors carry state and
// opening one costs far more than a short conversion.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of `in` as is valid, appending to `out`. Returns the
    // number of input bytes consumed; conversion stops at the first invalid
    // or incomplete sequence.
    std::size_t ConvertPrefix(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
                break;
        }
        return in.size() - inLeft;
    }

private:
    iconv_t cd_;
};

Converter& GbkDecoder() {
    thread_local Converter converter("UTF-8", "GB18030");
    return converter;
}

Converter& GbkEncoder() {
    thread_local Converter converter("GB18030", "UTF-8");
    return converter;
}

std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos) {
    const auto b = static_cast<unsigned char>(s[pos]);
    std::size_t len = b < 0x80           ? 1
                      : (b >> 5) == 0x6  ? 2
                      : (b >> 4) == 0xE  ? 3
                      : (b >> 3) == 0x1E ? 4
                                         : 0;
    if (len == 0 || pos + len > s.size())
        return 0;
    for (std::size_t i = 1; i < len; ++i)
        if ((static_cast<unsigned char>(s[pos + i]) & 0xC0) != 0x80)
            return 0;
    return len;
}

} // namespace

std::size_t GbkCharLength(std::string_view text, std::size_t pos) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (!IsLeadByte(b) || pos + 1 >= text.size())
        return 1;
    const auto b1 = static_cast<unsigned char>(text[pos + 1]);
    if (IsFourByteDigit(b1)) {
        if (pos + 3 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos + 2])) &&
            IsFourByteDigit(static_cast<unsigned char>(text[pos + 3])))
            return 4;
        return 1;
    }
    return IsTrailByte(b1) ? 2 : 1;
}

std::string_view GbkCharWalker::Current() const {
    if (AtEnd())
        return {};
    return text_.substr(pos_, GbkCharLength(text_, pos_));
}

void GbkCharWalker::Advance() {
    if (!AtEnd())
        pos_ += GbkCharLength(text_, pos_);
}

std::size_t GbkWholeCharPrefix(std::string_view text, std::size_t maxBytes) {
    if (maxBytes >= text.size())
        return text.size();
    std::size_t pos = 0;
    while (pos < maxBytes) {
        const std::size_t len = GbkCharLength(text, pos);
        if (pos + len > maxBytes)
            break;
        pos += len;
    }
    return pos;
}

bool IsBlank(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) > 32)
            return false;
    return true;
}

std::string_view RightChars(std::string_view text, std::size_t n) {
    return n >= text.size() ? text : text.substr(text.size() - n);
}

std::string GbkToUtf8(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    std::size_t pos = 0;
    while (pos < gbk.size()) {
        // iconv's GB18030 knows every GBK character; the one byte it refuses
        // that code page 936 defines is the euro sign, handled here.
        pos += GbkDecoder().ConvertPrefix(gbk.substr(pos), out);
        if (pos >= gbk.size())
            break;
        out += static_cast<unsigned char>(gbk[pos]) == kEuroByte ? kEuroUtf8 : kReplacementUtf8;
        pos += GbkCharLength(gbk, pos);
    }
    return out;
}

GbkString Utf8ToGbk(std::string_view utf8) {
    GbkString out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        // Stop the bulk conversion at each euro sign: code page 936 writes it
        // as the single byte 0x80, GB18030 as two bytes.
        const std::size_t euro = utf8.find(kEuroUtf8, pos);
        const std::size_t end = euro == std::string_view::npos ? utf8.size() : euro;
        while (pos < end) {
            pos += GbkEncoder().ConvertPrefix(utf8.substr(pos, end - pos), out);
            if (pos >= end)
                break;
            const std::size_t len = Utf8SequenceLength(utf8.substr(0, end), pos);
            out += '?';
            pos += len == 0 ? 1 : len;
        }
        if (euro != std::string_view::npos) {
            out += static_cast<char>(kEuroByte);
            pos = euro + kEuroUtf8.size();
        }
    }
    return out;
}

std::u16string GbkToUtf16(std::string_view gbk) {
    const std::string utf8 = GbkToUtf8(gbk);
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        // GbkToUtf8 emits only valid UTF-8.
        const std::size_t len = Utf8SequenceLength(utf8, pos);
        const auto b0 = static_cast<unsigned char>(utf8[pos]);
        char32_t cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
        for (std::size_t i = 1; i < len; ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[pos + i]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        pos += len;
    }
    return out;
}

GbkString Utf16ToGbk(std::u16string_view utf16) {
    std::string utf8;
    utf8.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = U'?'; // a lone surrogate is no character
        }
        if (cp < 0x80) {
            utf8 += static_cast<char>(cp);
        } else if (cp < 0x800) {
            utf8 += static_cast<char>(0xC0 | (cp >> 6));
            utf8 += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (cp >> 12));
            utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (cp >> 18));
            utf8 += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return Utf8ToGbk(utf8);
}

} // namespace sonvela
