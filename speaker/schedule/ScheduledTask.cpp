#include "ScheduledTask.h"

#include <cstdio>

namespace sonvela {
namespace {

constexpr int kDay = 24 * 60 * 60;
constexpr int kWarningLead = 5 * 60;
constexpr int kProposalLead = 120 * 60;

bool TwoDigits(std::string_view text, std::size_t at, int limit, int& value) {
    if (text.size() < at + 2)
        return false;
    const char high = text[at], low = text[at + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9')
        return false;
    value = (high - '0') * 10 + (low - '0');
    return value < limit;
}

} // namespace

std::string HoursMinutesText(int secondsOfDay) {
    const int clamped = ((secondsOfDay % kDay) + kDay) % kDay;
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", clamped / 3600, clamped / 60 % 60);
    return text;
}

std::optional<int> ParseTimeOfDay(std::string_view text) {
    int hours = 0, minutes = 0, seconds = 0;
    if (!TwoDigits(text, 0, 24, hours) || text.size() < 5 || text[2] != ':' ||
        !TwoDigits(text, 3, 60, minutes))
        return std::nullopt;
    if (text.size() == 8) {
        if (text[5] != ':' || !TwoDigits(text, 6, 60, seconds))
            return std::nullopt;
    } else if (text.size() != 5) {
        return std::nullopt;
    }
    return hours * 3600 + minutes * 60 + seconds;
}

int ProposedTaskTime(int nowSecondsOfDay) {
    const int later = (nowSecondsOfDay + kProposalLead) % kDay;
    return later - later % 60;
}

std::string ShutdownWarningText(std::string_view taskTime) {
    return "计算机将在" + std::string(taskTime) + "之后自动关机，";
}

ScheduledTask::ArmResult ScheduledTask::Arm(int nowSecondsOfDay, std::string_view taskTime,
                                            TaskKind kind) {
    const std::optional<int> when = ParseTimeOfDay(taskTime);
    if (!when || nowSecondsOfDay >= *when)
        return ArmResult::NotLaterThanNow;
    armed_ = true;
    taskTime_ = std::string(taskTime);
    kind_ = kind;
    return ArmResult::Armed;
}

TaskTickActions ScheduledTask::Tick(int nowSecondsOfDay) {
    TaskTickActions actions;
    if (!armed_)
        return actions;
    const std::optional<int> when = ParseTimeOfDay(taskTime_);
    if (!when)
        return actions;
    if (kind_ == TaskKind::Shutdown && nowSecondsOfDay >= *when - kWarningLead)
        actions.showWarning = true;
    if (nowSecondsOfDay >= *when) {
        if (kind_ == TaskKind::StopReading)
            actions.stopReading = true;
        else
            actions.shutdown = true;
        armed_ = false;
    }
    return actions;
}

} // namespace sonvela
