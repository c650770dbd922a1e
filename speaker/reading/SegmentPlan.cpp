#include "SegmentPlan.h"

#include "Tts.h"

namespace sonvela {

std::vector<PlannedSegment> PlanSegments(std::string_view text, bool rangeMode,
                                         const DelaySymbols& symbols, int datetimetype,
                                         std::int32_t signdelay, const LocalClock& clock) {
    std::vector<PlannedSegment> segments;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::string_view rest = text.substr(start);
        const std::string_view window = rest.substr(0, GbkWholeCharPrefix(rest, Tts::kWindowBytes));
        if (window.empty())
            break; // a broken character at the very end: the reader stops there too
        if (!rangeMode && IsBlank(window)) {
            start += window.size();
            continue;
        }
        const SegmentCut cut = CutSegment(window, symbols);
        start += cut.length;
        GbkString spoken = ExpandDatePlaceholder(window.substr(0, cut.length), datetimetype, clock);
        if (!rangeMode && IsBlank(spoken))
            continue;
        PlannedSegment segment;
        if (HoldsDelaySign(spoken)) {
            segment.signPause = signdelay;
            spoken = RemoveDelaySigns(spoken);
        }
        segment.spoken = std::move(spoken);
        segment.segdelay = cut.segdelay;
        segment.end = start;
        segments.push_back(std::move(segment));
    }
    return segments;
}

} // namespace sonvela
