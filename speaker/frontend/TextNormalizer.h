// Numbers, prices, dates, times, ranges, codes, units and signs written out
// as the Chinese words an announcer says, for Mandarin and Cantonese alike.
#pragma once

#include "FrontEndPieces.h"

#include <string>
#include <string_view>

namespace sonvela::frontend {

// Rewrites the open pieces; final pieces pass untouched. Text that holds
// nothing to write out comes back as it was.
Pieces NormalizeText(const Pieces& pieces, Dialect dialect);

// The same for one plain text (one open piece), joined.
std::string NormalizeText(std::string_view utf8, Dialect dialect);

} // namespace sonvela::frontend
