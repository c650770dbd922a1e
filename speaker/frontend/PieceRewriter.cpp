#include "PieceRewriter.h"

#include "NumberWords.h"

#include <cassert>

namespace sonvela::frontend {

PieceRewriter::PieceRewriter(std::string_view utf8, Dialect dialect, Pieces& out)
    : text_(utf8), dialect_(dialect), out_(out) {}

void PieceRewriter::Replace(std::size_t begin, std::size_t end, std::string words) {
    assert(openFrom_ <= begin && begin <= end && end <= text_.size());
    AppendPiece(out_, std::string(text_.Bytes(openFrom_, begin)), false);
    AppendPiece(out_, std::move(words), true);
    openFrom_ = end;
    rewrote_ = true;
}

bool PieceRewriter::Finish() {
    if (!rewrote_)
        return false;
    AppendPiece(out_, std::string(text_.Bytes(openFrom_, text_.size())), false);
    openFrom_ = text_.size();
    return true;
}

bool IsHanNumeral(char32_t c) {
    return std::u32string_view(U"零〇一二两兩三四五六七八九十").find(c) !=
           std::u32string_view::npos;
}

bool IsHourMark(char32_t c) {
    return c == U'点' || c == U'點';
}

bool IsRangeMark(char32_t c) {
    return c == U'~' || c == U'-' || c == U'–' || c == U'—';
}

int ToInt(std::string_view digits) {
    int value = 0;
    for (char c : digits.substr(0, 9))
        value = value * 10 + (c - '0');
    return value;
}

std::string NumberReader::CalendarWords(std::string_view digits) const {
    return CardinalWords(digits, dialect_, {.leadingLiang = false});
}

std::string NumberReader::MinuteWords(std::string_view twoDigits, std::string_view unit) const {
    std::string words;
    if (twoDigits[0] == '0')
        words = "零";
    words += twoDigits == "00" ? "" : CalendarWords(twoDigits);
    words += unit;
    return words;
}

} // namespace sonvela::frontend
