// Reading and writing the editor's text files.
//
// The program's files are GBK text. Files on Linux are usually UTF-8, and
// reading those as GBK would show nonsense and, worse, save the nonsense back
// over the original. So a file is read in the encoding it plainly carries: a
// UTF-8 or UTF-16 byte-order mark, or bytes that are UTF-8 on the evidence
// (see EncodingGuess.h: short GBK texts are often valid UTF-8 too); anything
// else is GBK. A file is saved back in the encoding it was read in.
//
// Line breaks: a file's CR LF, lone CR and lone LF all become one line break
// in the editor. A file that uses lone LF (or lone CR) throughout gets its
// own kind back, so an untouched file saves byte for byte; any other file,
// and a new one, is written with CR LF, the system's own.
#pragma once

#include <string>
#include <string_view>

namespace sonvela {

enum class TextEncoding { Gbk, Utf8, Utf8Bom, Utf16LeBom, Utf16BeBom };
enum class LineBreak { CrLf, Lf, Cr };

struct DecodedText {
    // The text with each line break as one LF.
    std::u16string text;
    TextEncoding encoding = TextEncoding::Gbk;
    LineBreak lineBreak = LineBreak::CrLf;
    // False when the bytes are valid in none of the encodings: the text then
    // holds replacement characters, and saving it over the file would alter
    // bytes the operator never touched.
    bool valid = true;
};

DecodedText DecodeTextFile(std::string_view bytes);

// The reverse: LF becomes the line break, then the text is encoded (with its
// byte-order mark where the encoding has one). GBK writes characters it lacks
// in GB18030's four-byte form, so nothing typed is lost.
std::string EncodeTextFile(std::u16string_view text, TextEncoding encoding,
                           LineBreak lineBreak = LineBreak::CrLf);

// The line break a file uses throughout: CR LF unless every break in it is a
// lone LF, or every one a lone CR.
LineBreak LineBreakOf(std::u16string_view text);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Turns CR LF and lone CR into LF.
std::u16string NormalizeLineBreaks(std::u16string_view text);

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

} // namespace sonvela
