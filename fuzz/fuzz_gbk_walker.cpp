// Any bytes as GBK text: the walker must cover the text exactly once by
// whole characters, and conversions must never crash or lose valid text.
#include "GbkText.h"

#include <cstdint>
#include <string>

using namespace sonvela;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::size_t covered = 0;
    for (GbkCharWalker walker(text); !walker.AtEnd(); walker.Advance()) {
        const std::size_t length = walker.Current().size();
        if (walker.Position() != covered || (length != 1 && length != 2 && length != 4))
            __builtin_trap();
        covered += length;
    }
    if (covered != text.size())
        __builtin_trap();

    const std::size_t limit = size / 3;
    const std::size_t prefix = GbkWholeCharPrefix(text, limit);
    if (prefix > limit && prefix != text.size())
        __builtin_trap();

    // Whatever the input, its UTF-8 form converts back to GBK and forward
    // again unchanged: conversion is lossless on the text it produces.
    const std::string utf8 = GbkToUtf8(text);
    const std::string gbk = Utf8ToGbk(utf8);
    if (GbkToUtf8(gbk) != utf8)
        __builtin_trap();
    if (Utf16ToGbk(GbkToUtf16(gbk)) != gbk)
        __builtin_trap();
    (void)IsBlank(text);
    return 0;
}
