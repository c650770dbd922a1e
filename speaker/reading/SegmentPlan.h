// A reading's segments worked out in advance, for rendering an announcement
// rather than speaking it: the same window, segment cut, date placeholder and
// delay sign as the reader thread applies, without an editor or a clock of
// pauses.
#pragma once

#include "DatePlaceholder.h"
#include "DelaySymbols.h"
#include "GbkText.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sonvela {

struct PlannedSegment {
    GbkString spoken;           // as the voice is given it
    std::int32_t signPause = 0; // before it: the delay sign's pause, or 0
    std::int32_t segdelay = 0;  // after it: its delay symbol's pause
    std::size_t end = 0;        // byte offset in the text just after it
};

// Caret mode (`rangeMode` false, a reading from the start): blank windows
// and blank segments are skipped unspoken, without their pauses. Range mode
// (a loop pass): every segment is spoken, blank or not, as the reader does.
std::vector<PlannedSegment> PlanSegments(std::string_view text, bool rangeMode,
                                         const DelaySymbols& symbols, int datetimetype,
                                         std::int32_t signdelay, const LocalClock& clock);

} // namespace sonvela
