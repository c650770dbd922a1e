// Numbers read digit by digit for what they are: phone numbers in their
// groups, country codes, codes after Latin letters (A023, G1234), and
// numbers the words before them name (验证码4096, 急救电话120).
#pragma once

#include "PieceRewriter.h"

#include <cstddef>

namespace sonvela::frontend {

// Each returns the index past what it read, or 0 when the text at `i` is
// not one of its kind.
std::size_t ReadCode(PieceRewriter& rewriter, std::size_t i);
std::size_t ReadNamedNumber(PieceRewriter& rewriter, std::size_t i);
std::size_t ReadPhoneNumber(PieceRewriter& rewriter, std::size_t i);
// `plus` is at a '+' before a digit.
std::size_t ReadCountryCode(PieceRewriter& rewriter, std::size_t plus);

} // namespace sonvela::frontend
