// Word readings for the polyphonic words of Mandarin: the words, taken from
// CC-CEDICT, in which some character has more than one reading, each with
// the reading a shop announcer would use, as numbered pinyin. The table also
// knows the other common words, without readings, so that the longest match
// cuts a text where a reader would ("大学生长期" is 大学生 长期, never 生长),
// and the everyday reading of each character, whose tone decides how 一 and
// 不 before it are read.
//
// The table is text, one entry a line: "word\treading", a bare "word", or
// "character\treading". A word may end in a third field, how common it is
// from 1 to 9 ("本店\t\t1", "长期\tchang2 qi1\t7"), with an empty reading
// for a word that needs none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela::frontend {

class PinyinDictionary {
public:
    // The table built into the program, parsed on first use; safe to call
    // from several threads at once.
    static const PinyinDictionary& Builtin();

    explicit PinyinDictionary(std::string table);
    PinyinDictionary(const PinyinDictionary&) = delete;
    PinyinDictionary& operator=(const PinyinDictionary&) = delete;

    struct Match {
        std::size_t length = 0;   // in characters; 0 when no word starts here
        std::string_view reading; // empty for a word the voice reads right
        int commonness = 0;       // 1 rare to 9 very common; 0 unknown
    };

    // The longest word of two or more characters that starts `text`. Costs
    // the length of that word, not the size of the table.
    Match LongestWordAt(std::u32string_view text) const;

    // The pinned reading of `word` (UTF-8), syllables separated by single
    // spaces, e.g. "yin2 hang2"; nothing when the word is not in the table
    // or needs no pinning. For a single character, its everyday reading.
    std::optional<std::string_view> Reading(std::string_view word) const;

    // The everyday reading of one character, e.g. "xing2" for 行.
    std::optional<std::string_view> CharacterReading(char32_t character) const;

    // The number of words (two characters or more) in the table.
    std::size_t size() const { return words_; }

private:
    // One key of an open-addressing hash table: a word, or the start of
    // longer words, as bytes of table_ (so the table holds no copy of them).
    struct Slot {
        std::uint32_t offset = 0; // of the key in table_
        std::uint16_t length = 0; // of the key in bytes; 0: an empty slot
        bool word = false;        // false: only the start of longer words
    };

    const Slot* Find(std::string_view key, std::uint64_t hash) const;
    Slot& FindOrAdd(std::string_view key, std::uint64_t hash);
    std::string_view ReadingOf(const Slot& slot) const;
    int CommonnessOf(const Slot& slot) const;

    std::string table_;
    std::vector<Slot> slots_;
    std::size_t longest_ = 0; // characters
    std::size_t words_ = 0;
};

} // namespace sonvela::frontend
