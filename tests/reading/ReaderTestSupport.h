// Helpers shared by the reader tests.
#pragma once

#include "DatePlaceholder.h"
#include "DelaySymbols.h"
#include "GbkText.h"

#include <string_view>
#include <vector>

namespace sonvela::testing {

// Test texts are written in UTF-8 and read as the editor holds them.
inline GbkString G(std::string_view utf8) {
    return Utf8ToGbk(utf8);
}

// The delay table as installed.
inline std::vector<DelaySymbolRow> InstalledDelayTable() {
    return {{G("。"), 300, true}, {G("，"), 0, true}, {",", 0, true},
            {G("；"), 0, true},   {";", 0, true},     {G("？"), 0, true},
            {"?", 0, true},       {G("！"), 0, true}, {"!", 0, true}};
}

// The installed table with a short pause after "。", for tests that do not
// measure that pause: it keeps the test run fast.
inline constexpr int kQuickFullStopPause = 40;
inline std::vector<DelaySymbolRow> QuickDelayTable() {
    auto rows = InstalledDelayTable();
    rows.front().delaytime = kQuickFullStopPause;
    return rows;
}

// Monday 7 April 2014, 09:05:03.
inline LocalDateTime SampleMoment() {
    return {2014, 4, 7, 9, 5, 3, 1};
}

} // namespace sonvela::testing
