// A number with what follows it (a unit, a measure word, 元, %, 年, 点) and
// the ranges and sums it starts: 3~5天, ¥12.50, -5~3℃, 3+5=8, 5元/斤.
#pragma once

#include "PieceRewriter.h"

#include <cstddef>
#include <string_view>

namespace sonvela::frontend {

// Reads the number whose digits (or minus sign, or currency sign) start at
// `begin`; always reads something, and returns the index past it.
std::size_t ReadQuantity(PieceRewriter& rewriter, std::size_t begin, bool negative);

// What a currency sign is read as after its number (¥ 元, $ 美元); empty
// for any other character.
std::string_view CurrencyWord(char32_t c);

} // namespace sonvela::frontend
