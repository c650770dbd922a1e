// The delay symbols: the punctuation marks that end a segment of a reading,
// each with the pause that follows it.
#pragma once

#include "GbkText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace sonvela {

// One row of the delay table, as the data store hands it over.
struct DelaySymbolRow {
    GbkString descript;     // the symbol: at most two characters
    std::int32_t delaytime; // pause in milliseconds
    bool candelete;         // true: the symbol ends a segment and pauses
};

// The symbols of the rows that make a pause, in table order.
class DelaySymbols {
public:
    DelaySymbols() = default;

    // Rows whose `candelete` is false, and rows whose symbol is blank once
    // surrounding bytes 0-32 are removed, add nothing. Any number of rows is
    // taken.
    static DelaySymbols FromRows(const std::vector<DelaySymbolRow>& rows);

    // The trimmed symbols joined without separators, in table order.
    const GbkString& delaystring() const { return delaystring_; }
    // One pause per symbol, in the same order.
    const std::vector<std::int32_t>& delayvalues() const { return delayvalues_; }

    // The pause of the first symbol, in table order, that holds `character`
    // (one whole character), or nothing when no symbol holds it. Characters
    // are compared whole: the two bytes of a character that straddle two
    // joined symbols never match.
    std::optional<std::int32_t> PauseOf(std::string_view character) const;

private:
    struct Entry {
        GbkString character;
        std::int32_t pause;
    };

    GbkString delaystring_;
    std::vector<std::int32_t> delayvalues_;
    // Every distinct character of the symbols with the pause of the first
    // symbol holding it: the lookup the segment cut makes for each character.
    std::vector<Entry> characters_;
};

// The first segment of a window: its length in bytes (whole characters) and
// the pause that follows it.
struct SegmentCut {
    std::size_t length = 0;
    std::int32_t segdelay = 0;
};

// The segment runs from the window's start up to and including the first
// character that is a delay symbol; without one it is the whole window and
// no pause follows.
SegmentCut CutSegment(std::string_view window, const DelaySymbols& symbols);

} // namespace sonvela
