#include "Polyphones.h"

namespace sonvela::frontend {

// Placeholder until the polyphone rules land: passes the text through.
Pieces PinPolyphones(const Pieces& pieces) {
    return pieces;
}

std::string PinPolyphones(std::string_view utf8) {
    return JoinPieces(PinPolyphones(Pieces{{std::string(utf8), false}}));
}

} // namespace sonvela::frontend
