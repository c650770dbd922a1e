// Turns due timetable entries into what the main window does, around the
// operator's reading and the time announcement:
//
//   due → waiting (for the end of the current segment, and for a time
//   announcement of the same second) → reading, pass after pass with the
//   entry's interval of silence between them → done
//
// A reading under way is not cut mid-sentence: the reader is asked to stop
// after its current segment, and the entry starts then; the interrupted
// reading is not resumed, and the operator is told why. A time announcement
// due in the same second goes first. Entries never cut each other: one due
// while another reads waits in line behind it.
//
// The window drives it: it calls the event functions and carries out the
// returned commands in order.
#pragma once

#include "Timetable.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace sonvela {

enum class RunnerPhase {
    Idle,
    WaitingForTimeAnnouncement,
    WaitingForSegmentEnd,
    Reading,
    BetweenPasses,
};

struct RunnerCommand {
    enum class Kind {
        StopAfterSegment, // let the reader finish its segment, then stop it
        Start,            // start pass `pass` (from 1) of `entry`
        Note,             // show `note` in the status bar
    };
    Kind kind = Kind::Note;
    TimetableRow entry;
    std::string note;
    int pass = 0;

    bool operator==(const RunnerCommand&) const = default;
};

class TimetableRunner {
public:
    // A tick's due entries. `readingRunning`: the operator's reading (not an
    // entry of this runner) is under way. `timeAnnouncementDue`: the time
    // announcement starts on this tick.
    std::vector<RunnerCommand> Due(const std::vector<DueEntry>& due, bool readingRunning,
                                   bool timeAnnouncementDue);
    // The time announcement's words are over.
    std::vector<RunnerCommand> TimeAnnouncementEnded();
    // The interrupted reading stopped (after its segment, on its own at the
    // end of the text, or by the operator).
    std::vector<RunnerCommand> ReadingStopped();
    // A pass of the entry came to its end; the next starts after the
    // entry's interval (see Poll).
    std::vector<RunnerCommand> PassFinished(std::chrono::steady_clock::time_point now);
    // The operator stopped the entry: its remaining passes are dropped.
    std::vector<RunnerCommand> EntryStopped();
    // Everything stops (another program's stop request): the entry reading
    // and those waiting are dropped, and nothing waits any more.
    void StopAll();
    // On each clock tick: starts the next pass once its interval is over.
    std::vector<RunnerCommand> Poll(std::chrono::steady_clock::time_point now);

    RunnerPhase Phase() const;
    const std::optional<TimetableRow>& Current() const { return current_; }
    std::size_t WaitingCount() const { return waiting_.size(); }
    const std::deque<TimetableRow>& Waiting() const { return waiting_; }

private:
    std::vector<RunnerCommand> StartIfFree();
    std::vector<RunnerCommand> FinishEntry();

    std::deque<TimetableRow> waiting_;
    std::optional<TimetableRow> current_;
    int pass_ = 0; // of current_, from 1
    std::optional<std::chrono::steady_clock::time_point> nextPassAt_;
    bool awaitingSegment_ = false;
    bool awaitingAnnouncement_ = false;
    bool interruptedReading_ = false;
};

} // namespace sonvela
