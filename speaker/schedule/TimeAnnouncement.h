// The time announcement: the schedule of announced slots, the words spoken
// for a slot, the clock panel's text, and the announcer that plays the chime
// and speaks the words a little later.
//
// Everything runs on the user-interface thread. Nothing here waits: the
// words are handed to a single-shot timer, so the window (and the reader,
// which waits on the window for every editor operation) keeps running while
// the chime plays.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela {

class Dataset;

// A moment on the local clock, as the clock timer sees it.
struct LocalMoment {
    int year = 2000, month = 1, day = 1;
    int dayOfWeek = 1; // 1 Monday … 7 Sunday
    int hour = 0, minute = 0, second = 0;
};

// "hh:nn:ss", two digits each.
std::string TimeOfDayText(const LocalMoment& moment);
// The clock panel: "yyyy-mm-dd 星期X hh:nn:ss".
std::string ClockPanelText(const LocalMoment& moment);

// The words for a slot from its "hh:nn" (the first five characters of its
// time): "现在是北京时间08:00正", "现在是北京时间08:30", and at midnight
// "现在是北京时间 零点正" or "现在是北京时间 零点30"; empty for any other
// time in hour 00.
std::string AnnouncementWords(std::string_view hoursAndMinutes);

// One slot of the in-memory schedule: the record's id, its time text and
// "√" when it is announced.
struct ScheduleRow {
    std::string id;
    std::string stime;
    std::string mark;
};

class TellTimeSchedule {
public:
    static constexpr std::string_view kEnabledMark = "√";

    TellTimeSchedule() : rows_(1) {}

    // Walks the announcement query from its first record (which posts a
    // pending grid edit) to the end. An empty query gives one empty row,
    // which is never due.
    void Rebuild(Dataset& slots);
    const std::vector<ScheduleRow>& Rows() const { return rows_; }

    // The slots due at `moment`. Each second is looked at once: the clock
    // ticks several times a second, and a slot must be announced once.
    std::vector<ScheduleRow> Due(const LocalMoment& moment);

private:
    std::vector<ScheduleRow> rows_;
    std::string lastSecond_;
};

// What the announcer needs of the program.
struct AnnouncerPorts {
    // Starts the chime and returns at once.
    std::function<void()> playChime;
    // Runs `action` once after `delay`, on this thread, without blocking.
    std::function<void(std::chrono::milliseconds delay, std::function<void()> action)> later;
    // Chooses the main window's voice and hands the words (UTF-8) to the
    // speech object asynchronously, without a purge.
    std::function<void(const std::string& words)> speak;
};

class TimeAnnouncer {
public:
    // The words start this long after the chime, over its tail.
    static constexpr std::chrono::milliseconds kWordsDelay{1300};

    explicit TimeAnnouncer(AnnouncerPorts ports) : ports_(std::move(ports)) {}

    // telltimeing: chime now, the slot's words after kWordsDelay.
    void telltimeing(const ScheduleRow& slot);

private:
    AnnouncerPorts ports_;
};

} // namespace sonvela
