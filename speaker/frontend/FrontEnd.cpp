#include "FrontEnd.h"

#include "Polyphones.h"
#include "TextNormalizer.h"

namespace sonvela::frontend {

std::string FrontEnd::Prepare(std::string_view utf8, Dialect dialect) const {
    Pieces pieces{{std::string(utf8), false}};
    pieces = Pronunciations()->Apply(pieces, dialect);
    pieces = NormalizeText(pieces, dialect);
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
