#include "Timetable.h"

#include "ScheduledTask.h"

#include <algorithm>
#include <ctime>

namespace sonvela {
namespace {

constexpr std::int64_t kDaySeconds = 24 * 60 * 60;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

bool SortedBefore(const TimetableRow& a, const TimetableRow& b) {
    const int ta = ParseTimeOfDay(a.stime).value_or(-1);
    const int tb = ParseTimeOfDay(b.stime).value_or(-1);
    return ta != tb ? ta < tb : a.id < b.id;
}

bool RunsOn(const TimetableRow& entry, int dayOfWeek) {
    return entry.enabled && (entry.days & DayBit(dayOfWeek)) != 0;
}

} // namespace

std::int64_t LocalSeconds(const LocalMoment& moment) {
    using namespace std::chrono;
    const sys_days day =
        year_month_day{year{moment.year}, month{static_cast<unsigned>(moment.month)},
                       std::chrono::day{static_cast<unsigned>(moment.day)}};
    return day.time_since_epoch().count() * kDaySeconds + moment.hour * 3600 + moment.minute * 60 +
           moment.second;
}

LocalMoment MomentFromLocalSeconds(std::int64_t seconds) {
    using namespace std::chrono;
    const std::int64_t dayNumber = FloorDiv(seconds, kDaySeconds);
    const int secondOfDay = static_cast<int>(seconds - dayNumber * kDaySeconds);
    const sys_days day{days{dayNumber}};
    const year_month_day date{day};
    LocalMoment moment;
    moment.year = static_cast<int>(date.year());
    moment.month = static_cast<int>(static_cast<unsigned>(date.month()));
    moment.day = static_cast<int>(static_cast<unsigned>(date.day()));
    moment.dayOfWeek = static_cast<int>(weekday{day}.iso_encoding());
    moment.hour = secondOfDay / 3600;
    moment.minute = secondOfDay / 60 % 60;
    moment.second = secondOfDay % 60;
    return moment;
}

ScheduleClock SystemScheduleClock() {
    return {[] {
                const std::time_t now = std::time(nullptr);
                std::tm local{};
                localtime_r(&now, &local);
                LocalMoment moment;
                moment.year = local.tm_year + 1900;
                moment.month = local.tm_mon + 1;
                moment.day = local.tm_mday;
                moment.dayOfWeek = local.tm_wday == 0 ? 7 : local.tm_wday;
                moment.hour = local.tm_hour;
                moment.minute = local.tm_min;
                moment.second = std::min(local.tm_sec, 59); // a leap second
                return moment;
            },
            [] { return std::chrono::steady_clock::now(); }};
}

std::string SkippedEntryNote(const TimetableRow& entry, DueOutcome outcome) {
    const std::string head = "定时播报 " + entry.stime + " 已跳过：";
    switch (outcome) {
    case DueOutcome::SkippedDraftDeleted:
        return head + "要读的文稿已被删除";
    case DueOutcome::SkippedFileMissing:
        return head + "找不到声音文件 " + entry.fileName;
    case DueOutcome::Read:
        break;
    }
    return {};
}

Timetable::Timetable(ScheduleClock clock, TimetableSources sources)
    : clock_(std::move(clock)), sources_(std::move(sources)) {}

void Timetable::SetEntries(std::vector<TimetableRow> entries) {
    std::stable_sort(entries.begin(), entries.end(), SortedBefore);
    entries_ = std::move(entries);
}

bool Timetable::Readable(const TimetableRow& entry, DueOutcome& outcome) const {
    if (entry.draftId) {
        outcome = sources_.draftExists(*entry.draftId) ? DueOutcome::Read
                                                       : DueOutcome::SkippedDraftDeleted;
    } else {
        outcome = !entry.fileName.empty() && sources_.fileExists(entry.fileName)
                      ? DueOutcome::Read
                      : DueOutcome::SkippedFileMissing;
    }
    return outcome == DueOutcome::Read;
}

void Timetable::Collect(std::int64_t second, std::vector<DueEntry>& due) {
    const LocalMoment moment = MomentFromLocalSeconds(second);
    const int secondOfDay = moment.hour * 3600 + moment.minute * 60 + moment.second;
    const std::int64_t dayNumber = FloorDiv(second, kDaySeconds);
    for (const TimetableRow& entry : entries_) {
        if (!RunsOn(entry, moment.dayOfWeek) || ParseTimeOfDay(entry.stime) != secondOfDay)
            continue;
        if (!played_.insert({entry.id, dayNumber, secondOfDay}).second)
            continue;
        DueEntry item{entry, DueOutcome::Read, {}};
        if (!Readable(entry, item.outcome))
            item.note = SkippedEntryNote(entry, item.outcome);
        due.push_back(std::move(item));
    }
}

std::vector<DueEntry> Timetable::Tick() {
    const std::int64_t wall = LocalSeconds(clock_.wall());
    const auto monotonic = clock_.monotonic();
    std::int64_t from = wall; // the first second looked at
    if (lastWall_) {
        const auto elapsed = monotonic - lastMonotonic_;
        const auto wallElapsed = std::chrono::seconds(wall - *lastWall_);
        const bool clockSet = std::chrono::abs(wallElapsed - elapsed) > kClockTolerance;
        if (!clockSet && elapsed <= kLongestTickGap)
            from = *lastWall_ + 1;
    }
    lastWall_ = wall;
    lastMonotonic_ = monotonic;

    std::vector<DueEntry> due;
    for (std::int64_t second = from; second <= wall; ++second)
        Collect(second, due);
    // What played more than two days before today can no longer repeat.
    const std::int64_t today = FloorDiv(wall, kDaySeconds);
    std::erase_if(played_, [today](const auto& item) { return std::get<1>(item) < today - 2; });
    return due;
}

std::optional<NextEntry> Timetable::Next() const {
    const std::int64_t now = LocalSeconds(clock_.wall());
    const std::int64_t today = FloorDiv(now, kDaySeconds);
    for (std::int64_t day = today; day <= today + 7; ++day) {
        const int dayOfWeek = MomentFromLocalSeconds(day * kDaySeconds).dayOfWeek;
        for (const TimetableRow& entry : entries_) { // in time order
            const auto time = ParseTimeOfDay(entry.stime);
            DueOutcome outcome{};
            if (!time || !RunsOn(entry, dayOfWeek) || day * kDaySeconds + *time <= now ||
                played_.contains({entry.id, day, *time}) || !Readable(entry, outcome))
                continue;
            return NextEntry{entry, MomentFromLocalSeconds(day * kDaySeconds + *time)};
        }
    }
    return std::nullopt;
}

} // namespace sonvela
