#include "LetterSpelling.h"

namespace sonvela::frontend {
namespace {

constexpr std::size_t kLongestInitials = 4;

bool IsCapital(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsLetter(char c) {
    return IsCapital(c) || (c >= 'a' && c <= 'z');
}

std::string Spelled(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    std::size_t i = 0;
    while (i < text.size()) {
        if (!IsCapital(text[i]) || (i > 0 && IsLetter(text[i - 1]))) {
            out += text[i++];
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && IsCapital(text[end]))
            ++end;
        const std::size_t length = end - i;
        const bool partOfWord = end < text.size() && IsLetter(text[end]);
        if (length >= 2 && length <= kLongestInitials && !partOfWord) {
            for (std::size_t k = i; k < end; ++k) {
                if (k > i)
                    out += ' ';
                out += text[k];
            }
        } else {
            out.append(text, i, length);
        }
        i = end;
    }
    return out;
}

} // namespace

Pieces SpellCapitals(const Pieces& pieces) {
    Pieces out;
    for (const Piece& piece : pieces)
        AppendPiece(out, piece.final ? piece.text : Spelled(piece.text), piece.final);
    return out;
}

} // namespace sonvela::frontend
