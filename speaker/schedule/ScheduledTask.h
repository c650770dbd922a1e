// The planned task: stop the reading, or shut the computer down, at a time
// of day later the same day, with a warning window in the last five minutes
// before a shutdown.
//
// The task state and its one-second tick decide here; the task dialog, the
// warning window and the shutdown itself are the window's and the
// platform's. Times are seconds since midnight on the local clock.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sonvela {

enum class TaskKind { StopReading = 1, Shutdown = 2 };

// "hh:mm" of a time of day.
std::string HoursMinutesText(int secondsOfDay);
// Seconds since midnight of "hh:mm" (or "hh:mm:ss"); nothing when it is not
// such a time.
std::optional<int> ParseTimeOfDay(std::string_view text);
// The time the dialog proposes when no task is armed: now plus 120 minutes,
// as a time of day (past 22:00 it lies after midnight), to the minute.
int ProposedTaskTime(int nowSecondsOfDay);
// "计算机将在" + time + "之后自动关机，"
std::string ShutdownWarningText(std::string_view taskTime);

// What a tick asks the program to do, in this order.
struct TaskTickActions {
    bool showWarning = false; // show (or bring forward) the warning window
    bool stopReading = false; // press Stop
    bool shutdown = false;    // power the computer off, then the exit command
};

class ScheduledTask {
public:
    enum class ArmResult { Armed, NotLaterThanNow };

    bool Armed() const { return armed_; }
    // As shown in the dialog's time field when armed.
    const std::string& TaskTime() const { return taskTime_; }
    TaskKind Kind() const { return kind_; }

    // "执行": arms the task when `taskTime` ("hh:mm") is later than now;
    // otherwise the state stays as it was. Arming again replaces the task.
    ArmResult Arm(int nowSecondsOfDay, std::string_view taskTime, TaskKind kind);
    // "取消".
    void Disarm() { armed_ = false; }

    // The task timer's tick (shutdown). A stop task fires once and disarms
    // itself: Stop must not keep cancelling readings started after it. A
    // shutdown task also disarms as it fires, so the power-off is asked
    // for once.
    TaskTickActions Tick(int nowSecondsOfDay);

private:
    bool armed_ = false;
    std::string taskTime_;
    TaskKind kind_ = TaskKind::StopReading;
};

} // namespace sonvela
