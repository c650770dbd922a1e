#include "FrontEndPieces.h"

namespace sonvela::frontend {

void AppendPiece(Pieces& pieces, std::string text, bool final) {
    if (text.empty())
        return;
    // Open text merges, so later stages see whole runs of it; final pieces
    // stay apart, so JoinPieces can keep their pinyin syllables apart.
    if (!final && !pieces.empty() && !pieces.back().final) {
        pieces.back().text += text;
        return;
    }
    pieces.push_back({std::move(text), final});
}

namespace {

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

std::string JoinPieces(const Pieces& pieces) {
    std::string joined;
    for (const Piece& piece : pieces) {
        if (piece.text.empty())
            continue;
        if (!joined.empty() && IsAsciiAlnum(joined.back()) && IsAsciiAlnum(piece.text.front()))
            joined += ' ';
        joined += piece.text;
    }
    return joined;
}

} // namespace sonvela::frontend
