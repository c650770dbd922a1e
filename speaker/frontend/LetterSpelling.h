// Short runs of capital letters are initials (VIP, KTV, MU in MU5137) that
// Chinese listeners expect spelled out letter by letter; the voices would
// read "MU" as the syllable mu and "VIP" as an English word.
#pragma once

#include "FrontEndPieces.h"

namespace sonvela::frontend {

// In open pieces, a run of two to four capital Latin letters that is not
// part of a longer Latin word gets a blank between its letters ("M U").
// Longer capital runs are words and stay as they are.
Pieces SpellCapitals(const Pieces& pieces);

} // namespace sonvela::frontend
