#include "TimeAnnouncement.h"

#include "Dataset.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace sonvela {
namespace {

constexpr std::string_view kWordsStart = "现在是北京时间";

} // namespace

std::string TimeOfDayText(const LocalMoment& moment) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", moment.hour, moment.minute, moment.second);
    return text;
}

std::string ClockPanelText(const LocalMoment& moment) {
    static constexpr std::array<const char*, 7> kDays = {"星期一", "星期二", "星期三", "星期四",
                                                         "星期五", "星期六", "星期日"};
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d ", moment.year, moment.month, moment.day);
    const auto day = static_cast<std::size_t>(std::clamp(moment.dayOfWeek, 1, 7) - 1);
    return std::string(date) + kDays[day] + " " + TimeOfDayText(moment);
}

std::string AnnouncementWords(std::string_view hoursAndMinutes) {
    const std::string_view hours = hoursAndMinutes.substr(0, 2);
    const std::string_view minutes =
        hoursAndMinutes.size() >= 5 ? hoursAndMinutes.substr(3, 2) : std::string_view();
    if (hours != "00") {
        std::string words = std::string(kWordsStart) + std::string(hoursAndMinutes);
        if (minutes == "00")
            words += "正";
        return words;
    }
    if (hoursAndMinutes == "00:00")
        return std::string(kWordsStart) + " 零点正";
    if (hoursAndMinutes == "00:30")
        return std::string(kWordsStart) + " 零点30";
    return {};
}

void TellTimeSchedule::Rebuild(Dataset& slots) {
    std::vector<ScheduleRow> rows;
    for (slots.First(); !slots.Eof(); slots.Next()) {
        rows.push_back({std::to_string(slots.AsInteger("id")), slots.AsUtf8("stime"),
                        slots.AsBool("isplay") ? std::string(kEnabledMark) : std::string()});
    }
    if (rows.empty())
        rows.emplace_back();
    slots.First();
    rows_ = std::move(rows);
}

std::vector<ScheduleRow> TellTimeSchedule::Due(const LocalMoment& moment) {
    const std::string now = TimeOfDayText(moment);
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d ", moment.year, moment.month, moment.day);
    const std::string second = day + now;
    if (second == lastSecond_)
        return {};
    lastSecond_ = second;
    std::vector<ScheduleRow> due;
    for (const ScheduleRow& row : rows_) {
        if (row.stime == now && row.mark == kEnabledMark)
            due.push_back(row);
    }
    return due;
}

void TimeAnnouncer::telltimeing(const ScheduleRow& slot) {
    const std::string words = AnnouncementWords(std::string_view(slot.stime).substr(0, 5));
    ports_.playChime();
    // An empty text is handed over too: it speaks nothing, as the voice
    // choice still happens.
    ports_.later(kWordsDelay, [speak = ports_.speak, words] { speak(words); });
}

} // namespace sonvela
