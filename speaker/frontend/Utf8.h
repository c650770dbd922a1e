// UTF-8 to code points and back, for the stages that walk text by
// characters. Invalid bytes decode to U+FFFD, so no input can derail a stage.
#pragma once

#include <string>
#include <string_view>

namespace sonvela::frontend {

std::u32string DecodeUtf8(std::string_view utf8);
std::string EncodeUtf8(std::u32string_view text);
void AppendUtf8(std::string& out, char32_t c);

// The speech voices take UTF-16; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view utf8);

} // namespace sonvela::frontend
