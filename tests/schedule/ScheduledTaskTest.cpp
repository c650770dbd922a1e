#include "ScheduledTask.h"

#include <gtest/gtest.h>

namespace sonvela {
namespace {

constexpr int Hms(int h, int m, int s = 0) {
    return h * 3600 + m * 60 + s;
}

TEST(TaskTimes, ProposalIsTwoHoursOnAndWrapsPastMidnight) {
    EXPECT_EQ(HoursMinutesText(ProposedTaskTime(Hms(10, 0, 42))), "12:00");
    EXPECT_EQ(HoursMinutesText(ProposedTaskTime(Hms(22, 30))), "00:30");
    EXPECT_EQ(HoursMinutesText(ProposedTaskTime(Hms(23, 59, 59))), "01:59");
}

TEST(TaskTimes, ParsesOnlyWholeTimesOfDay) {
    EXPECT_EQ(ParseTimeOfDay("10:20"), Hms(10, 20));
    EXPECT_EQ(ParseTimeOfDay("23:59:30"), Hms(23, 59, 30));
    for (const char* bad : {"", "8:00", "24:00", "10:60", "10-20", "10:20:", "1a:00", "10:20:61"})
        EXPECT_FALSE(ParseTimeOfDay(bad)) << bad;
}

TEST(TaskTimes, WarningText) {
    EXPECT_EQ(ShutdownWarningText("10:20"), "计算机将在10:20之后自动关机，");
}

TEST(ScheduledTask, TheProposalAfterTenPastTenAtNightIsRefused) {
    ScheduledTask task;
    const int now = Hms(22, 30);
    const std::string proposed = HoursMinutesText(ProposedTaskTime(now));
    EXPECT_EQ(task.Arm(now, proposed, TaskKind::StopReading),
              ScheduledTask::ArmResult::NotLaterThanNow);
    EXPECT_FALSE(task.Armed());
    // The same minute as now is not later either.
    EXPECT_EQ(task.Arm(Hms(10, 20, 30), "10:20", TaskKind::Shutdown),
              ScheduledTask::ArmResult::NotLaterThanNow);
}

TEST(ScheduledTask, RefusalKeepsTheTaskAlreadyArmed) {
    ScheduledTask task;
    ASSERT_EQ(task.Arm(Hms(10, 0), "11:00", TaskKind::Shutdown), ScheduledTask::ArmResult::Armed);
    task.Arm(Hms(10, 0), "09:00", TaskKind::StopReading);
    EXPECT_TRUE(task.Armed());
    EXPECT_EQ(task.TaskTime(), "11:00");
    EXPECT_EQ(task.Kind(), TaskKind::Shutdown);
}

TEST(ScheduledTask, ShutdownWarnsFiveMinutesAheadThenShutsDownOnce) {
    ScheduledTask task;
    ASSERT_EQ(task.Arm(Hms(10, 0), "10:20", TaskKind::Shutdown), ScheduledTask::ArmResult::Armed);
    TaskTickActions tick = task.Tick(Hms(10, 14, 59));
    EXPECT_FALSE(tick.showWarning || tick.shutdown);
    for (int second = Hms(10, 15); second < Hms(10, 20); second += 37) {
        tick = task.Tick(second);
        EXPECT_TRUE(tick.showWarning);
        EXPECT_FALSE(tick.shutdown || tick.stopReading);
    }
    tick = task.Tick(Hms(10, 20));
    EXPECT_TRUE(tick.shutdown);
    EXPECT_FALSE(tick.stopReading);
    EXPECT_FALSE(task.Armed());
    EXPECT_FALSE(task.Tick(Hms(10, 20, 1)).shutdown);
}

TEST(ScheduledTask, AStopTaskStopsOnceWithoutWarning) {
    ScheduledTask task;
    ASSERT_EQ(task.Arm(Hms(10, 0), "10:20", TaskKind::StopReading),
              ScheduledTask::ArmResult::Armed);
    EXPECT_FALSE(task.Tick(Hms(10, 19, 0)).showWarning);
    EXPECT_FALSE(task.Tick(Hms(10, 19, 59)).stopReading);
    EXPECT_TRUE(task.Tick(Hms(10, 20, 0)).stopReading);
    // A reading started at 10:25 is left alone.
    EXPECT_FALSE(task.Armed());
    EXPECT_FALSE(task.Tick(Hms(10, 25)).stopReading);
}

TEST(ScheduledTask, CancelAndRearm) {
    ScheduledTask task;
    task.Arm(Hms(10, 0), "10:20", TaskKind::Shutdown);
    task.Disarm();
    EXPECT_FALSE(task.Tick(Hms(10, 30)).shutdown);
    ASSERT_EQ(task.Arm(Hms(10, 30), "10:40", TaskKind::StopReading),
              ScheduledTask::ArmResult::Armed);
    EXPECT_EQ(task.TaskTime(), "10:40");
    EXPECT_TRUE(task.Tick(Hms(10, 40)).stopReading);
}

} // namespace
} // namespace sonvela
