// The text of one piece as the number rules see it: code points with the
// full-width forms common in Chinese text folded to ASCII (０-９ ％ ： ／ …),
// each mapped back to its bytes so that the text around a number is passed
// on exactly as it came.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela::frontend {

bool IsDigit(char32_t c);
bool IsAsciiLetter(char32_t c);
bool IsHan(char32_t c);

// A cheap test on the bytes: false when `utf8` holds no digit (and no
// written whole hour, 零点正), so most text is passed on without being decoded.
bool MayHoldNumber(std::string_view utf8);

class NumberText {
public:
    explicit NumberText(std::string_view utf8);

    std::size_t size() const { return folded_.size(); }
    // The folded code point at `i`; 0 outside the text (also for i = -1).
    char32_t At(std::size_t i) const { return i < folded_.size() ? folded_[i] : 0; }
    // The folded text from `i` to the end (empty past it), and [begin, end).
    std::u32string_view From(std::size_t i) const;
    std::u32string_view View(std::size_t begin, std::size_t end) const;

    // The original bytes of code points [begin, end).
    std::string_view Bytes(std::size_t begin, std::size_t end) const;
    // The ASCII digits of [begin, end).
    std::string Digits(std::size_t begin, std::size_t end) const;
    // The end of the run of digits that starts at `i`.
    std::size_t DigitRunEnd(std::size_t i) const;

private:
    std::string_view utf8_;
    std::u32string folded_;
    std::vector<std::uint32_t> offsets_; // size() + 1 byte offsets
};

} // namespace sonvela::frontend
