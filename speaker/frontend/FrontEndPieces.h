// The text between the front-end's stages: a run of pieces, each either
// still open to the later stages or already final.
//
// A stage rewrites only the open pieces and may split them; a final piece
// (the operator's pinyin, a reading the number rules pinned) passes every
// later stage untouched, so "yin2" given by the operator never becomes
// "yin二".
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace sonvela::frontend {

enum class Dialect { Mandarin, Cantonese };

struct Piece {
    std::string text; // UTF-8
    bool final = false;

    bool operator==(const Piece&) const = default;
};

// For test failure messages.
inline void PrintTo(const Piece& piece, std::ostream* out) {
    *out << (piece.final ? "final \"" : "open \"") << piece.text << '"';
}

using Pieces = std::vector<Piece>;

// Appends `text` to `pieces`, merging it into the last piece when both are
// open, so stages can emit character by character. Empty text adds nothing.
void AppendPiece(Pieces& pieces, std::string text, bool final);

// The text handed to the voice: the pieces joined, with a space wherever a
// pinyin syllable would otherwise run into a neighbouring Latin letter or
// digit ("yin2 hang2" + "hang2 zhang3" must not read "hang2hang2").
std::string JoinPieces(const Pieces& pieces);

} // namespace sonvela::frontend
