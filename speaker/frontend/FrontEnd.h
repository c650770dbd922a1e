// The Chinese text front-end: what a voice is given for the text of one
// segment. The operator's pronunciation list, then the written-out numbers
// and signs, then (Mandarin only) the pinned polyphone readings.
//
// Thread-safe: the reader thread and the user-interface thread speak through
// the same front-end, and the operator's list may be replaced while a
// reading runs (the next segment uses the new list).
#pragma once

#include "FrontEndPieces.h"
#include "PronunciationList.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace sonvela::frontend {

class FrontEnd {
public:
    // What the voice is given for `utf8` in `dialect`. `first`, when given,
    // is applied before the operator's list (a reading being tried out).
    std::string Prepare(std::string_view utf8, Dialect dialect,
                        const PronunciationList* first = nullptr) const;

    void SetPronunciations(PronunciationList list);
    std::shared_ptr<const PronunciationList> Pronunciations() const;

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const PronunciationList> list_ = std::make_shared<PronunciationList>();
};

} // namespace sonvela::frontend
