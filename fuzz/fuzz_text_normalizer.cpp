// Any bytes through the number rules, both dialects: no crash, no read past
// the text, and the text around what is written out passed on in order.
#include "TextNormalizer.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace sonvela::frontend;
    for (Dialect dialect : {Dialect::Mandarin, Dialect::Cantonese}) {
        const Pieces out = NormalizeText(Pieces{{std::string(text), false}}, dialect);
        std::size_t open = 0;
        for (const Piece& piece : out)
            if (!piece.final)
                open += piece.text.size();
        if (open > text.size())
            __builtin_trap();
    }
    return 0;
}
