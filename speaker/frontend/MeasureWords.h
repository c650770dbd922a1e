// What may follow a number: the measure words a count goes with (两个, not
// 二个) and the written units read out as words (kg → 公斤).
#pragma once

#include <cstddef>
#include <string_view>

namespace sonvela::frontend {

struct MeasureWord {
    std::u32string_view word;
    int tone = 0;       // of its first syllable: decides the tone of a 一 before it
    bool counts = true; // a 2 before it is 两 (2两 is 二两)
};

struct Unit {
    std::u32string_view symbol;
    std::string_view words;
    int tone = 0; // of the first syllable of `words`
    bool counts = true;
    bool temperature = false; // a negative reading is 零下, not 负
};

// The measure word that starts `text`, or nullptr.
const MeasureWord* MeasureWordAt(std::u32string_view text);

// The longest written unit that starts `text`, or nullptr. A unit spelled in
// Latin letters must not run on into further letters ("5 men" has no unit).
const Unit* UnitAt(std::u32string_view text);

} // namespace sonvela::frontend
