// The words the timetable shows the operator: an entry's days, the status
// panel's next entry, and why an entry cannot be saved.
#pragma once

#include "Timetable.h"

#include <cstdint>
#include <functional>
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

// What the timetable window looks up about an entry: the program's current
// drafts, files and voices, which change while the entries stay as stored.
struct EntryLookups {
    // The draft's current name; nothing when it was deleted.
    std::function<std::optional<std::string>(std::int64_t draftId)> draftName;
    std::function<bool(const std::string& fileName)> fileExists;
    // What the voice list shows for a stored voice name; nothing when the
    // voice is not installed.
    std::function<std::optional<std::string>(const std::string& voice)> voiceShown;
};

// One line of the timetable window's list.
struct EntryListing {
    std::string time;     // "08:55:00"
    std::string days;     // DaysText
    std::string source;   // the draft's current name, or the file's name
    std::string passes;   // "3 遍"
    std::string interval; // "30 秒"; "—" when there is only one pass
    std::string voice;    // as the voice list shows it
    // Why the entry will be skipped when it falls due (its draft was
    // deleted, its file is gone); empty when it can be read.
    std::string problem;
};

EntryListing ListEntry(const TimetableRow& entry, const EntryLookups& lookups);

// EntryProblem, and then whether what the entry reads is there now: the
// operator is told when he saves, not when the entry falls due.
std::optional<std::string> EntryProblem(const TimetableRow& entry, const EntryLookups& lookups);

} // namespace sonvela
