// Mandarin readings the voice would get wrong on its own: polyphonic words
// pinned as numbered pinyin (银行 → "yin2 hang2"), the tone changes of 一 and
// 不, and the neutral tone of the particles 了, 着, 得, 的, 地.
#pragma once

#include "FrontEndPieces.h"

#include <string>
#include <string_view>

namespace sonvela::frontend {

// Rewrites the open pieces; final pieces pass untouched. Words the voice
// already reads right stay as characters.
Pieces PinPolyphones(const Pieces& pieces);

// The same for one plain text, joined.
std::string PinPolyphones(std::string_view utf8);

} // namespace sonvela::frontend
