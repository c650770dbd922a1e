// Any bytes as a text file: decoding never crashes, and a text read as valid
// is written back in a form that reads as the same text.
#include "TextFileCodec.h"

#include <cstdint>
#include <string>

using namespace sonvela;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const DecodedText decoded = DecodeTextFile(bytes);
    if (decoded.text.find(u'\r') != std::u16string::npos)
        __builtin_trap();
    if (!decoded.valid)
        return 0;
    const DecodedText again = DecodeTextFile(EncodeTextFile(decoded.text, decoded.encoding));
    // Plain ASCII read as GBK may come back the same way; anything else must
    // keep its encoding and its text.
    if (!again.valid || again.text != decoded.text)
        __builtin_trap();
    return 0;
}
