#include "FrontEnd.h"

#include "LetterSpelling.h"
#include "Polyphones.h"
#include "TextNormalizer.h"

namespace sonvela::frontend {

namespace {

// A segment may run over several lines of a list. The voice takes a line
// break for a blank anyway; making it one here keeps "3\n5" two numbers and
// lets `speaker --pronounce` print each segment on one line.
std::string LineBreaksAsBlanks(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
            continue;
        if (c == '\r' || c == '\n') {
            out += ' ';
        } else if (utf8.substr(i, 3) == "\u2028" || utf8.substr(i, 3) == "\u2029") {
            out += ' ';
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string FrontEnd::Prepare(std::string_view utf8, Dialect dialect,
                              const PronunciationList* first) const {
    Pieces pieces{{LineBreaksAsBlanks(utf8), false}};
    if (first)
        pieces = first->Apply(pieces, dialect);
    pieces = Pronunciations()->Apply(pieces, dialect);
    pieces = NormalizeText(pieces, dialect);
    pieces = SpellCapitals(pieces);
    // The Cantonese voice reads characters well and takes no pinyin.
    if (dialect == Dialect::Mandarin)
        pieces = PinPolyphones(pieces);
    return JoinPieces(pieces);
}

void FrontEnd::SetPronunciations(PronunciationList list) {
    auto shared = std::make_shared<const PronunciationList>(std::move(list));
    const std::lock_guard lock(mutex_);
    list_ = std::move(shared);
}

std::shared_ptr<const PronunciationList> FrontEnd::Pronunciations() const {
    const std::lock_guard lock(mutex_);
    return list_;
}

} // namespace sonvela::frontend
