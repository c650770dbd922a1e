// The broadcast timetable at run time: which entries fall due on a tick of
// the main window's clock, and which comes next.
//
// Two clocks are read: the local wall clock says which entry's time it is,
// the monotonic clock says how much time really passed since the last tick.
// When the two disagree (the system clock was set, or the machine slept:
// the monotonic clock stands still through a suspend), or the ticks stopped
// for longer than a few seconds, only the current second is looked at, so
// entries passed over are never played late nor in a burst. An entry plays
// at most once a day at its time, so a clock set back does not repeat it.
#pragma once

#include "TimeAnnouncement.h"
#include "TimetableTable.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace sonvela {

struct ScheduleClock {
    std::function<LocalMoment()> wall;
    std::function<std::chrono::steady_clock::time_point()> monotonic;
};

// The computer's local clock and std::chrono::steady_clock.
ScheduleClock SystemScheduleClock();

// Whether what an entry reads is still there.
struct TimetableSources {
    std::function<bool(std::int64_t draftId)> draftExists;
    std::function<bool(const std::string& fileName)> fileExists;
};

enum class DueOutcome { Read, SkippedDraftDeleted, SkippedFileMissing };

struct DueEntry {
    TimetableRow entry;
    DueOutcome outcome = DueOutcome::Read;
    std::string note; // for the status bar when skipped
};

struct NextEntry {
    TimetableRow entry;
    LocalMoment when;
};

// The status bar's note for a skipped entry.
std::string SkippedEntryNote(const TimetableRow& entry, DueOutcome outcome);

class Timetable {
public:
    // Ticks further apart than this (a busy or frozen program) do not catch
    // up on the seconds in between.
    static constexpr std::chrono::seconds kLongestTickGap{3};
    // How far the wall clock may drift from the monotonic one between two
    // ticks before it counts as set: the wall clock is read to the second.
    static constexpr std::chrono::milliseconds kClockTolerance{1500};

    Timetable(ScheduleClock clock, TimetableSources sources);

    // The entries in force from now on. What has played today stays played.
    void SetEntries(std::vector<TimetableRow> entries);
    const std::vector<TimetableRow>& Entries() const { return entries_; }

    // The entries due since the last tick, by time of day, then by id. An
    // entry whose draft or file is gone comes back with the reason and is
    // not to be read.
    std::vector<DueEntry> Tick();

    // The next entry that will be read after the current second, within a
    // week.
    std::optional<NextEntry> Next() const;

private:
    bool Readable(const TimetableRow& entry, DueOutcome& outcome) const;
    void Collect(std::int64_t second, std::vector<DueEntry>& due);

    ScheduleClock clock_;
    TimetableSources sources_;
    std::vector<TimetableRow> entries_;
    std::optional<std::int64_t> lastWall_; // local seconds, see LocalSeconds
    std::chrono::steady_clock::time_point lastMonotonic_;
    // Entry id, local day, second of the day: an entry moved to a later time
    // after it played plays again at its new time.
    std::set<std::tuple<std::int64_t, std::int64_t, int>> played_;
};

// Seconds since 1970-01-01 00:00 on the local clock (not UTC), and back.
std::int64_t LocalSeconds(const LocalMoment& moment);
LocalMoment MomentFromLocalSeconds(std::int64_t seconds);

} // namespace sonvela
