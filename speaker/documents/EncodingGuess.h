// Whether bytes without a byte-order mark are UTF-8 or the system's GBK.
//
// GBK is the default. Short GBK texts are often valid UTF-8 too: about one
// common character in five is a valid two-byte UTF-8 sequence by itself, so
// "一元" (D2 BB D4 AA) would read as "һԪ". Validity alone therefore proves
// nothing; both readings are weighed by how plausible their characters are
// in this program's texts, and the UTF-8 reading wins only when it is the
// more plausible one.
#pragma once

#include <string_view>

namespace sonvela {

// True when `bytes` (no byte-order mark) should be read as UTF-8.
bool LooksLikeUtf8(std::string_view bytes);

// How unlikely the character is in a Chinese text, 0 for the common ones:
// ASCII, GB2312's first-level characters and its punctuation. Exposed for
// the tests; `unit` is one UTF-16 code unit.
int RarityOfUnit(char16_t unit);

} // namespace sonvela
