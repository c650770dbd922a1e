// The Mandarin reading table as built into the program (generated from
// data/pinyin_words.tsv at build time).
#pragma once

#include <string>

namespace sonvela::frontend {

std::string PinyinTableText();

} // namespace sonvela::frontend
