// The readings that depend on the neighbours rather than on the word: the
// common polyphones the word table leaves alone (还 before 钱 is huan2), and
// the tone changes of 一 and 不, which follow the tone of the next syllable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela::frontend {

struct Syllable {
    char32_t character = 0;
    std::string pinyin;         // the pinned reading; empty: the voice reads the character
    int tone = 0;               // of the pinned or else the everyday reading; 0 unknown
    int characterTone = 0;      // of the character's everyday reading; 0 unknown
    std::size_t wordLength = 1; // of the table word the character belongs to
    bool wordEnd = false;       // the last character of a table word of two or more
};

// What lies on either side of the syllables: the text of the neighbouring
// pieces, which the rules read but never change.
struct SyllableContext {
    char32_t before = 0;
    char32_t after = 0;
    int afterTone = 0;
    // The first syllable of a following piece already spelt in pinyin
    // ("yi4" of "yi4百"), its tone and all; empty when none follows.
    std::string afterPinyin;
};

// The tone of a numbered pinyin syllable ("hang2" → 2), 0 when it has none.
int ToneOf(std::string_view syllable);

// Pins the common polyphones that stand alone, outside any table word.
void ApplyContextRules(std::vector<Syllable>& syllables, const SyllableContext& context);

// 一 and 不 as spoken: yi2/bu2 before a fourth tone, yi4 before the others,
// yi1 when counting or ordinal, yi5 between a doubled verb (看一看).
void ApplyToneChanges(std::vector<Syllable>& syllables, const SyllableContext& context);

} // namespace sonvela::frontend
