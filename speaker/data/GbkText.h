// The system's text model: byte strings in the Chinese code page.
//
// Every offset, length and window the program speaks of counts bytes of GBK
// (code page 936) text, in which a Chinese character takes two bytes. Text
// typed into the editor may also hold characters that GBK lacks; those are
// kept in GB18030's four-byte form, so nothing an operator types is lost.
// This module is the only place that converts between GBK bytes and Unicode.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sonvela {

// A text in the system's code page. A plain alias: the bytes are the value.
using GbkString = std::string;

// Number of bytes of the character that starts at `pos` (1, 2 or 4). A lead
// byte 0x81-0xFE followed by a valid trail byte takes two bytes, or four in
// the GB18030 form lead, digit, lead, digit. Anything else, including a lead
// byte cut off by the end of the text, counts as one byte, so a walk always
// advances and never reads past the end. `pos` must be less than the size.
std::size_t GbkCharLength(std::string_view text, std::size_t pos);

// Walks a text by whole characters.
class GbkCharWalker {
public:
    explicit GbkCharWalker(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    std::size_t Position() const { return pos_; }
    // The character at the current position (empty at the end).
    std::string_view Current() const;
    void Advance();

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The largest length <= `maxBytes` that ends on a character boundary of the
// text taken from its start: a window never splits a character.
std::size_t GbkWholeCharPrefix(std::string_view text, std::size_t maxBytes);

// True when the text is empty or holds only bytes 0 to 32.
bool IsBlank(std::string_view text);

// The last n bytes of the text, or the whole text when it is shorter.
std::string_view RightChars(std::string_view text, std::size_t n);

// GBK (with GB18030 four-byte forms) to UTF-8. Byte 0x80 is the euro sign as
// in code page 936; a byte that starts no valid character becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to GBK; characters outside GBK take GB18030's four-byte form. Invalid
// UTF-8 sequences become "?".
GbkString Utf8ToGbk(std::string_view utf8);

// GBK to UTF-16, for the speech engine and the widgets.
std::u16string GbkToUtf16(std::string_view gbk);
GbkString Utf16ToGbk(std::u16string_view utf16);

} // namespace sonvela
