// One open piece on its way through the number rules: the text as they see
// it, and the pieces written so far. A reader replaces a stretch of the text
// by final words; what lies between replacements passes on open, byte for
// byte as it came.
#pragma once

#include "FrontEndPieces.h"
#include "NumberText.h"

#include <string>
#include <string_view>

namespace sonvela::frontend {

class PieceRewriter {
public:
    PieceRewriter(std::string_view utf8, Dialect dialect, Pieces& out);

    const NumberText& Text() const { return text_; }
    Dialect GetDialect() const { return dialect_; }

    // Writes `words` (final) in place of [begin, end). Replacements come in
    // text order and never overlap.
    void Replace(std::size_t begin, std::size_t end, std::string words);

    // Passes on the open rest of the text; false when nothing was replaced
    // (and nothing was written to the pieces).
    bool Finish();

private:
    NumberText text_;
    Dialect dialect_;
    Pieces& out_;
    std::size_t openFrom_ = 0;
    bool rewrote_ = false;
};

bool IsHanNumeral(char32_t c);
bool IsHourMark(char32_t c); // 点 or 點
bool IsRangeMark(char32_t c);
int ToInt(std::string_view digits); // of at most nine digits

// What the readers of numbers share: the text, the rewriter, and the words
// of days and minutes.
class NumberReader {
protected:
    explicit NumberReader(PieceRewriter& rewriter)
        : rewriter_(rewriter), text_(rewriter.Text()), dialect_(rewriter.GetDialect()) {}

    char32_t At(std::size_t i) const { return text_.At(i); }
    bool DigitAt(std::size_t i) const { return IsDigit(text_.At(i)); }
    void Replace(std::size_t begin, std::size_t end, std::string words) {
        rewriter_.Replace(begin, end, std::move(words));
    }

    // A month, a day, a score: a cardinal without 两.
    std::string CalendarWords(std::string_view digits) const;
    // Two digits of minutes or seconds: 05 零五分, 30 三十分, 00 零分.
    std::string MinuteWords(std::string_view twoDigits, std::string_view unit) const;

    PieceRewriter& rewriter_;
    const NumberText& text_;
    Dialect dialect_;
};

} // namespace sonvela::frontend
