// Word readings for the polyphonic words of Mandarin: the words, taken from
// CC-CEDICT, in which some character has more than one reading, each with
// the reading a shop announcer would use, as numbered pinyin.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace sonvela::frontend {

class PinyinDictionary {
public:
    // The table built into the program.
    static const PinyinDictionary& Builtin();

    // The reading of `word` (UTF-8), syllables separated by single spaces,
    // e.g. "yin2 hang2"; nothing when the word is not in the table.
    std::optional<std::string_view> Reading(std::string_view word) const;

    // The longest word of the table that starts `text`, in characters (not
    // bytes); 0 when none does.
    std::size_t LongestWordAt(std::u32string_view text) const;

    // The number of words in the table.
    std::size_t size() const;
};

} // namespace sonvela::frontend
