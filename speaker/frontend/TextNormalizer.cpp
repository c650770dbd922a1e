#include "TextNormalizer.h"

namespace sonvela::frontend {

// Placeholder until the number rules land: passes the text through.
Pieces NormalizeText(const Pieces& pieces, Dialect) {
    return pieces;
}

std::string NormalizeText(std::string_view utf8, Dialect dialect) {
    return JoinPieces(NormalizeText(Pieces{{std::string(utf8), false}}, dialect));
}

} // namespace sonvela::frontend
