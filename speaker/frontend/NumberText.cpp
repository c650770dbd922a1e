#include "NumberText.h"

#include "Utf8.h"

#include <algorithm>

namespace sonvela::frontend {

namespace {

char32_t FoldFullWidth(char32_t c) {
    if (c >= U'０' && c <= U'９')
        return U'0' + (c - U'０');
    switch (c) {
    case U'％':
        return U'%';
    case U'：':
        return U':';
    case U'／':
        return U'/';
    case U'．':
        return U'.';
    case U'～':
    case U'〜':
        return U'~';
    case U'－':
    case U'−':
        return U'-';
    case U'＋':
        return U'+';
    case U'＝':
        return U'=';
    case U'＄':
        return U'$';
    default:
        return c;
    }
}

std::size_t EncodedSize(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

} // namespace

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

bool IsAsciiLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

bool IsHan(char32_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF);
}

bool MayHoldNumber(std::string_view utf8) {
    if (utf8.find("点正") != std::string_view::npos || utf8.find("點正") != std::string_view::npos)
        return true;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte >= '0' && byte <= '9')
            return true;
        // Full-width digits are EF BC 90 to EF BC 99.
        if (byte == 0xEF && i + 2 < utf8.size() &&
            static_cast<unsigned char>(utf8[i + 1]) == 0xBC &&
            static_cast<unsigned char>(utf8[i + 2]) >= 0x90 &&
            static_cast<unsigned char>(utf8[i + 2]) <= 0x99)
            return true;
    }
    return false;
}

NumberText::NumberText(std::string_view utf8) : utf8_(utf8), folded_(DecodeUtf8(utf8)) {
    offsets_.reserve(folded_.size() + 1);
    std::size_t offset = 0;
    for (char32_t& c : folded_) {
        offsets_.push_back(static_cast<std::uint32_t>(offset));
        // The decoder turns each invalid byte into one U+FFFD; a real U+FFFD
        // is three bytes. Valid sequences are never overlong, so re-encoding
        // gives back their size.
        if (c == U'\uFFFD')
            offset += utf8_.substr(offset).starts_with("\xEF\xBF\xBD") ? 3 : 1;
        else
            offset += EncodedSize(c);
        c = FoldFullWidth(c);
    }
    offsets_.push_back(static_cast<std::uint32_t>(offset));
}

std::u32string_view NumberText::From(std::size_t i) const {
    return std::u32string_view(folded_).substr(std::min(i, folded_.size()));
}

std::u32string_view NumberText::View(std::size_t begin, std::size_t end) const {
    return std::u32string_view(folded_).substr(begin, end - begin);
}

std::string_view NumberText::Bytes(std::size_t begin, std::size_t end) const {
    return utf8_.substr(offsets_[begin], offsets_[end] - offsets_[begin]);
}

std::string NumberText::Digits(std::size_t begin, std::size_t end) const {
    std::string digits;
    digits.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i)
        if (IsDigit(folded_[i]))
            digits += static_cast<char>(folded_[i]);
    return digits;
}

std::size_t NumberText::DigitRunEnd(std::size_t i) const {
    while (i < folded_.size() && IsDigit(folded_[i]))
        ++i;
    return i;
}

} // namespace sonvela::frontend
