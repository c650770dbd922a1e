// Turns due timetable entries into what the main window does, around the
// operator's reading and the time announcement:
//
//   due → waiting (for the end of the current segment, and for a time
//   announcement of the same second) → reading → done
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

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace sonvela {

enum class RunnerPhase { Idle, WaitingForTimeAnnouncement, WaitingForSegmentEnd, Reading };

struct RunnerCommand {
    enum class Kind {
        StopAfterSegment, // let the reader finish its segment, then stop it
        Start,            // start reading `entry`
        Note,             // show `note` in the status bar
    };
    Kind kind = Kind::Note;
    TimetableRow entry;
    std::string note;

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
    // The entry being read finished, or the operator stopped it.
    std::vector<RunnerCommand> EntryFinished();

    RunnerPhase Phase() const;
    const std::optional<TimetableRow>& Current() const { return current_; }
    std::size_t WaitingCount() const { return waiting_.size(); }

private:
    std::vector<RunnerCommand> StartIfFree();

    std::deque<TimetableRow> waiting_;
    std::optional<TimetableRow> current_;
    bool awaitingSegment_ = false;
    bool awaitingAnnouncement_ = false;
    bool interruptedReading_ = false;
};

} // namespace sonvela
