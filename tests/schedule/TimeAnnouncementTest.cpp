#include "TimeAnnouncement.h"

#include "ScheduleTestSupport.h"

#include <gtest/gtest.h>

namespace sonvela {
namespace {

LocalMoment At(int hour, int minute, int second, int day = 9) {
    return {2026, 12, day, 3, hour, minute, second};
}

TEST(AnnouncementWords, FollowTheTableForFullHalfAndMidnightSlots) {
    EXPECT_EQ(AnnouncementWords("08:00"), "现在是北京时间08:00正");
    EXPECT_EQ(AnnouncementWords("12:30"), "现在是北京时间12:30");
    // The 24-hour clock: 13:00 is not read as one o'clock.
    EXPECT_EQ(AnnouncementWords("13:00"), "现在是北京时间13:00正");
    EXPECT_EQ(AnnouncementWords("00:00"), "现在是北京时间 零点正");
    EXPECT_EQ(AnnouncementWords("00:30"), "现在是北京时间 零点30");
    EXPECT_EQ(AnnouncementWords("00:15"), "");
    EXPECT_EQ(AnnouncementWords("23:30"), "现在是北京时间23:30");
}

TEST(ClockPanelText, DateWeekdayAndTimeWithSingleSpaces) {
    EXPECT_EQ(ClockPanelText({2026, 12, 13, 7, 9, 5, 3}), "2026-12-13 星期日 09:05:03");
    EXPECT_EQ(ClockPanelText({2026, 12, 7, 1, 23, 59, 59}), "2026-12-07 星期一 23:59:59");
}

class ScheduleFromTable : public ::testing::Test {
protected:
    void Enable(const char* stime) {
        Dataset& slots = staged.store->Q_telltime;
        ASSERT_TRUE(slots.LocateExact("stime", stime));
        slots.Edit();
        slots.SetBool("isplay", true);
        slots.Post();
    }

    test::StagedStore staged;
    TellTimeSchedule schedule;
};

TEST_F(ScheduleFromTable, ShippedSlotsAreAllOffAndNeverDue) {
    schedule.Rebuild(staged.store->Q_telltime);
    ASSERT_EQ(schedule.Rows().size(), 48u);
    EXPECT_EQ(schedule.Rows().front().stime, "00:00:00");
    EXPECT_EQ(schedule.Rows().back().stime, "23:30:00");
    EXPECT_EQ(schedule.Rows()[17].id, "18");
    for (int hour = 0; hour < 24; ++hour)
        EXPECT_TRUE(schedule.Due(At(hour, 0, 0)).empty());
}

TEST_F(ScheduleFromTable, AnEnabledSlotIsDueOnceInItsSecond) {
    Enable("12:00:00");
    schedule.Rebuild(staged.store->Q_telltime);
    EXPECT_TRUE(schedule.Due(At(11, 59, 59)).empty());
    const auto due = schedule.Due(At(12, 0, 0));
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].stime, "12:00:00");
    // The clock ticks five times a second: the other ticks find nothing.
    for (int tick = 0; tick < 4; ++tick)
        EXPECT_TRUE(schedule.Due(At(12, 0, 0)).empty());
    EXPECT_TRUE(schedule.Due(At(12, 0, 1)).empty());
    // The next day it is due again.
    EXPECT_EQ(schedule.Due(At(12, 0, 0, 10)).size(), 1u);
}

TEST_F(ScheduleFromTable, EnablingWithoutRebuildStaysSilent) {
    schedule.Rebuild(staged.store->Q_telltime);
    Enable("08:30:00");
    EXPECT_TRUE(schedule.Due(At(8, 30, 0)).empty());
    schedule.Rebuild(staged.store->Q_telltime);
    EXPECT_EQ(schedule.Due(At(8, 30, 0, 10)).size(), 1u);
}

TEST_F(ScheduleFromTable, AnEmptyTableGivesOneRowThatIsNeverDue) {
    Dataset& slots = staged.store->Q_telltime;
    while (!slots.IsEmpty())
        slots.Delete();
    schedule.Rebuild(slots);
    ASSERT_EQ(schedule.Rows().size(), 1u);
    EXPECT_TRUE(schedule.Due(At(0, 0, 0)).empty());
}

TEST(TimeAnnouncer, ChimesAtOnceAndSpeaksTheWordsLaterWithoutWaiting) {
    std::vector<std::string> events;
    std::vector<std::pair<std::chrono::milliseconds, std::function<void()>>> pending;
    TimeAnnouncer announcer({[&] { events.push_back("chime"); },
                             [&](std::chrono::milliseconds delay, std::function<void()> action) {
                                 pending.emplace_back(delay, std::move(action));
                             },
                             [&](const std::string& words) { events.push_back(words); }});
    announcer.telltimeing({"17", "08:00:00", "√"});
    // Nothing is spoken before the timer runs: the call returned at once.
    ASSERT_EQ(events, std::vector<std::string>{"chime"});
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].first, std::chrono::milliseconds(1300));
    pending[0].second();
    EXPECT_EQ(events, (std::vector<std::string>{"chime", "现在是北京时间08:00正"}));
}

} // namespace
} // namespace sonvela
