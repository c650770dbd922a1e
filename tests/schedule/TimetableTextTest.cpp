// What the timetable shows the operator: days, the next entry, and the
// checks before an entry is saved.
#include "TimetableText.h"

#include "TimetableTestSupport.h"

#include <gtest/gtest.h>

using namespace sonvela;
using namespace sonvela::test;

TEST(TimetableText, DaysNameTheCommonSetsAndListTheOthersInWeekOrder) {
    EXPECT_EQ(DaysText(kEveryDay), "每天");
    EXPECT_EQ(DaysText(kWeekdays), "工作日");
    EXPECT_EQ(DaysText(DayBit(6) | DayBit(7)), "周末");
    EXPECT_EQ(DaysText(0), "从不");
    EXPECT_EQ(DaysText(DayBit(5) | DayBit(1) | DayBit(3)), "周一、周三、周五");
    EXPECT_EQ(DaysText(DayBit(7)), "周日");
}

TEST(TimetableText, TheNextEntrySaysTodayTomorrowOrItsWeekday) {
    TimetableRow entry;
    entry.stime = "09:00:00";
    const LocalMoment friday = At(11, 23, 59, 59);
    EXPECT_EQ(NextEntryPanelText(NextEntry{entry, At(11, 23, 59, 59)}, friday, "闭店"),
              "下一条定时播报：今天 23:59:59 闭店");
    EXPECT_EQ(NextEntryPanelText(NextEntry{entry, At(12, 0, 0)}, friday, ""),
              "下一条定时播报：明天 00:00:00");
    EXPECT_EQ(NextEntryPanelText(NextEntry{entry, At(14, 9, 0)}, friday, "开门"),
              "下一条定时播报：周一 09:00:00 开门");
    EXPECT_EQ(NextEntryPanelText(std::nullopt, friday, "x"), "无定时播报");
}

TEST(TimetableText, AnEntryIsSavedOnlyWithATimeADaySomethingToReadAndSaneCounts) {
    TimetableRow entry;
    entry.stime = "08:55:00";
    entry.draftId = 3;
    EXPECT_FALSE(EntryProblem(entry));

    auto with = [&entry](auto change) {
        TimetableRow changed = entry;
        change(changed);
        return EntryProblem(changed).has_value();
    };
    EXPECT_TRUE(with([](TimetableRow& e) { e.stime = "8:55:00"; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.stime = "24:00:00"; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.stime = "08:55"; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.days = 0; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.passes = 0; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.intervalSeconds = -1; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.draftId.reset(); }));
    EXPECT_TRUE(with([](TimetableRow& e) {
        e.draftId.reset();
        e.fileName = "/home/店/bell.mp3/notes.txt";
    }));
    EXPECT_TRUE(with([](TimetableRow& e) {
        e.draftId.reset();
        e.fileName = "/home/店.mp3/bell";
    }));
    EXPECT_FALSE(with([](TimetableRow& e) {
        e.draftId.reset();
        e.fileName = "/home/店/开门 铃声.MP3";
    }));
    EXPECT_FALSE(with([](TimetableRow& e) {
        e.draftId.reset();
        e.fileName = "bell.wav";
    }));
}
