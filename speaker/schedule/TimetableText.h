// The words the timetable shows the operator: an entry's days, the status
// panel's next entry, and why an entry cannot be saved.
#pragma once

#include "Timetable.h"

#include <optional>
#include <string>

namespace sonvela {

inline constexpr int kMostPasses = 99;
inline constexpr int kLongestInterval = 3600; // seconds

// "每天", "工作日", "周末", "从不", or the days listed: "周一、周三、周五".
std::string DaysText(int days);

// The status panel: "下一条定时播报：今天 09:00:00 开门问候" (today, 明天
// tomorrow, else the weekday), or "无定时播报" when there is none. `title`
// names what the entry reads (a draft's name or a file's name).
std::string NextEntryPanelText(const std::optional<NextEntry>& next, const LocalMoment& now,
                               const std::string& title);

// Why the entry cannot be saved as it is, or nothing when it can.
std::optional<std::string> EntryProblem(const TimetableRow& entry);

} // namespace sonvela
