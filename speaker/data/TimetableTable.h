// The broadcast timetable in draft.dat (table `timetable`). Every value is
// bound, so file paths and voice names with quotes or SQL signs are stored
// as typed.
#pragma once

#include "Database.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sonvela {

// Days of the week as a bit mask, Monday bit 0 … Sunday bit 6.
inline constexpr int kEveryDay = 0x7f;
inline constexpr int kWeekdays = 0x1f;

inline constexpr int DayBit(int dayOfWeek /* 1 Monday … 7 Sunday */) {
    return 1 << (dayOfWeek - 1);
}

struct TimetableRow {
    std::int64_t id = 0;
    std::string stime = "00:00:00"; // time of day "hh:mm:ss"
    int days = kEveryDay;
    // What is read: a draft by id (so renaming the draft keeps the link), or
    // when there is none, an MP3/WAV file.
    std::optional<std::int64_t> draftId;
    std::string fileName;
    int passes = 1;
    int intervalSeconds = 0; // silence between passes
    // A voice by name: an index would point at another voice once a voice
    // is installed or removed. Empty: the main window's voice.
    std::string voice;
    bool enabled = true;

    bool operator==(const TimetableRow&) const = default;
};

class TimetableTable {
public:
    explicit TimetableTable(const Database& db) : db_(db) {}

    // Every entry, by time of day, then in the order they were added.
    std::vector<TimetableRow> Rows() const;
    // Adds an entry (its id is ignored) and returns the new id.
    std::int64_t Add(const TimetableRow& row) const;
    // Changes the entry with row.id; false when there is none.
    bool Update(const TimetableRow& row) const;
    // Deletes an entry; false when there is none.
    bool Delete(std::int64_t id) const;
    // Switches every entry on or off; returns how many rows changed.
    int EnableAll(bool enabled) const;

private:
    const Database& db_;
};

} // namespace sonvela
