// Dates and times of day written in digits: 2026-03-05, 13:00, 9:05,
// 13:00正, 9:00-18:00, 零点30, and M/D where the text says it is a date.
#pragma once

#include "PieceRewriter.h"

#include <cstddef>

namespace sonvela::frontend {

// Each returns the index past what it read, or 0 when the text at `i` (a
// digit) is not one of its kind.
std::size_t ReadNumericDate(PieceRewriter& rewriter, std::size_t i);
std::size_t ReadClock(PieceRewriter& rewriter, std::size_t i);
std::size_t ReadMinutesAfterWrittenHour(PieceRewriter& rewriter, std::size_t i);
// A fraction, or a date M/D in a date context; `begin` is where a minus sign
// before it starts.
std::size_t ReadFractionOrDate(PieceRewriter& rewriter, std::size_t i, std::size_t begin,
                               bool negative);
// 正 after an hour written in words (零点正): 整. `i` is at the 正.
std::size_t ReadWrittenWholeHour(PieceRewriter& rewriter, std::size_t i);

} // namespace sonvela::frontend
