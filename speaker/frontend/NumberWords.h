// Digits written out as Chinese number words: cardinals with their 零 and
// 两 rules, digits read one by one, and decimals.
#pragma once

#include "FrontEndPieces.h"

#include <string>
#include <string_view>

namespace sonvela::frontend {

struct CardinalOptions {
    // 两 for a 2 that leads the number before 百, 千, 万 or 亿 (两百, 两万);
    // ordinals, dates and fractions say 二 (第二百).
    bool leadingLiang = true;
    // The number counts the measure word that follows (2个, 1斤): a bare 2
    // is 两, and in Mandarin a bare 1 takes the tone 一 has before that word.
    bool counts = false;
    // The tone (1 to 4) of the syllable after the number; 0 when unknown.
    int nextTone = 0;
};

// `digits` is a run of ASCII digits. Leading zeros are ignored; a number
// too long for 万亿 is read digit by digit. In Mandarin, 一 that is not
// said in tone 1 is written as pinyin ("yi4百", "yi2万").
std::string CardinalWords(std::string_view digits, Dialect dialect,
                          const CardinalOptions& options = {});

// Each digit on its own (二零二六). `yao`: the announcers' 幺 for 1, which
// only Mandarin has.
std::string DigitWords(std::string_view digits, Dialect dialect, bool yao);

// A decimal: the whole part as a cardinal, then 点 and the fraction digits
// one by one (三点五, 零点零五).
std::string DecimalWords(std::string_view whole, std::string_view fraction, Dialect dialect,
                         const CardinalOptions& options = {});

// The tone-marked 一 before a syllable of tone `nextTone` in Mandarin
// (yi2 before tone 4, yi4 before the others); 一 for Cantonese or when the
// tone is unknown.
std::string_view YiBefore(int nextTone, Dialect dialect);

} // namespace sonvela::frontend
