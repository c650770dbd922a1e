// The operator's own pronunciations: word → reading, where a reading is
// numbered pinyin ("chong2 qing4") or plain replacement text. The operator
// always wins: the list runs before every other stage of the front-end.
#pragma once

#include "FrontEndPieces.h"

#include <string>
#include <vector>

namespace sonvela::frontend {

struct Pronunciation {
    std::string word;    // UTF-8, as typed
    std::string reading; // numbered pinyin or replacement text
};

// True when `reading` is numbered pinyin: Latin syllables each ending in a
// tone number 1 to 5, separated by blanks.
bool IsNumberedPinyin(const std::string& reading);

class PronunciationList {
public:
    PronunciationList() = default;
    explicit PronunciationList(std::vector<Pronunciation> entries);

    bool empty() const { return entries_.empty(); }
    const std::vector<Pronunciation>& Entries() const { return entries_; }

    // Replaces each occurrence of a listed word, longest word first at any
    // position. A pinyin reading becomes a final piece; replacement text stays
    // open, so its numbers and polyphones are still read right. Pinyin is a
    // Mandarin reading: for Cantonese those entries are passed over and the
    // word is read as written.
    Pieces Apply(const Pieces& pieces, Dialect dialect = Dialect::Mandarin) const;

private:
    std::vector<Pronunciation> entries_; // longest word first
};

} // namespace sonvela::frontend
