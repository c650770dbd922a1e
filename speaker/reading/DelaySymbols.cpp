#include "DelaySymbols.h"

#include <algorithm>

namespace sonvela {
namespace {

// Removes bytes 0-32 from both ends. A trail byte of a double-byte character
// is never below 0x40, so no character is cut.
std::string_view TrimBlanks(std::string_view text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

DelaySymbols DelaySymbols::FromRows(const std::vector<DelaySymbolRow>& rows) {
    DelaySymbols symbols;
    for (const DelaySymbolRow& row : rows) {
        if (!row.candelete)
            continue;
        const std::string_view symbol = TrimBlanks(row.descript);
        if (symbol.empty())
            continue;
        symbols.delaystring_ += symbol;
        symbols.delayvalues_.push_back(row.delaytime);
        for (GbkCharWalker walker(symbol); !walker.AtEnd(); walker.Advance()) {
            const std::string_view character = walker.Current();
            const bool known =
                std::any_of(symbols.characters_.begin(), symbols.characters_.end(),
                            [&](const Entry& entry) { return entry.character == character; });
            if (!known)
                symbols.characters_.push_back({GbkString(character), row.delaytime});
        }
    }
    return symbols;
}

std::optional<std::int32_t> DelaySymbols::PauseOf(std::string_view character) const {
    for (const Entry& entry : characters_)
        if (entry.character == character)
            return entry.pause;
    return std::nullopt;
}

SegmentCut CutSegment(std::string_view window, const DelaySymbols& symbols) {
    for (GbkCharWalker walker(window); !walker.AtEnd(); walker.Advance()) {
        if (const auto pause = symbols.PauseOf(walker.Current()))
            return {walker.Position() + walker.Current().size(), *pause};
    }
    return {window.size(), 0};
}

} // namespace sonvela
