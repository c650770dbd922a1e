// The timetable under a hand-driven clock: days of the week, entries in the
// same second, deleted drafts, a clock set back or forward, a suspend, and
// a frozen program.
#include "Timetable.h"

#include "TimetableTestSupport.h"

#include <gtest/gtest.h>
#include <set>

using namespace sonvela;
using namespace sonvela::test;
using namespace std::chrono_literals;

namespace {

TimetableRow Entry(std::int64_t id, std::string stime, int days = kEveryDay) {
    TimetableRow row;
    row.id = id;
    row.stime = std::move(stime);
    row.days = days;
    row.draftId = id;
    return row;
}

struct Played {
    std::int64_t id;
    std::int64_t wallMs;
    DueOutcome outcome;
};

class TimetableTest : public ::testing::Test {
protected:
    explicit TimetableTest(LocalMoment start = At(7, 8, 0)) : clock(start) {}

    void Start(std::vector<TimetableRow> entries) {
        timetable = std::make_unique<Timetable>(
            clock.Clock(),
            TimetableSources{
                [this](std::int64_t id) { return !deleted.contains(id); },
                [this](const std::string& name) { return !missingFiles.contains(name); }});
        timetable->SetEntries(std::move(entries));
    }

    // Ticks every `step` until the wall clock reaches `end`.
    void RunUntil(const LocalMoment& end, std::chrono::milliseconds step = 200ms) {
        const std::int64_t endMs = LocalSeconds(end) * 1000;
        while (clock.WallMs() < endMs) {
            Tick();
            clock.Advance(step);
        }
    }

    std::vector<DueEntry> Tick() {
        auto due = timetable->Tick();
        for (const DueEntry& item : due)
            played.push_back({item.entry.id, clock.WallMs(), item.outcome});
        return due;
    }

    std::vector<std::int64_t> PlayedIds() const {
        std::vector<std::int64_t> ids;
        for (const Played& item : played)
            ids.push_back(item.id);
        return ids;
    }

    FakeScheduleClock clock;
    std::set<std::int64_t> deleted;
    std::set<std::string> missingFiles;
    std::unique_ptr<Timetable> timetable;
    std::vector<Played> played;
};

std::int64_t Ms(const LocalMoment& moment) {
    return LocalSeconds(moment) * 1000;
}

} // namespace

TEST_F(TimetableTest, EachEntryPlaysOnItsDaysOnlyOnceAndWithinOneSecondOfItsTime) {
    TimetableRow off = Entry(5, "12:00:00");
    off.enabled = false;
    Start({Entry(1, "09:00:00", kWeekdays), Entry(2, "10:00:00", DayBit(7)),
           Entry(3, "00:00:00", DayBit(2)), Entry(4, "11:00:00", 0), off});
    RunUntil(At(14, 8, 0), 200ms); // Monday to the next Monday

    std::vector<std::int64_t> expectedIds;
    std::vector<std::int64_t> expectedMs;
    for (int day = 7; day <= 13; ++day) {
        if (day == 8) { // Tuesday just after midnight
            expectedIds.push_back(3);
            expectedMs.push_back(Ms(At(8, 0, 0)));
        }
        if (day <= 11) {
            expectedIds.push_back(1);
            expectedMs.push_back(Ms(At(day, 9, 0)));
        }
    }
    expectedIds.push_back(2);
    expectedMs.push_back(Ms(At(13, 10, 0)));
    ASSERT_EQ(PlayedIds(), expectedIds);
    for (std::size_t i = 0; i < played.size(); ++i) {
        EXPECT_GE(played[i].wallMs, expectedMs[i]) << i;
        EXPECT_LT(played[i].wallMs, expectedMs[i] + 1000) << i;
    }
}

TEST_F(TimetableTest, TwoEntriesInTheSameSecondComeTogetherInTimeThenIdOrder) {
    Start({Entry(9, "09:00:00"), Entry(4, "09:00:00"), Entry(7, "08:59:59"),
           Entry(2, "9:00:00") /* not a valid time: never due */});
    RunUntil(At(7, 8, 59, 59));
    Tick();
    clock.Advance(400ms);
    Tick();
    clock.Advance(800ms); // 09:00:00.2: the tick at 09:00:00.0 was missed
    const auto due = Tick();
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[0].entry.id, 4);
    EXPECT_EQ(due[1].entry.id, 9);
    RunUntil(At(7, 9, 1));
    EXPECT_EQ(PlayedIds(), (std::vector<std::int64_t>{7, 4, 9}));
}

TEST_F(TimetableTest, AnEntryWhoseDraftWasDeletedIsSkippedWithTheReasonAndNotOffered) {
    TimetableRow file = Entry(3, "09:00:00");
    file.draftId.reset();
    file.fileName = "/nowhere/bell.mp3";
    deleted = {1};
    missingFiles = {file.fileName};
    Start({Entry(1, "09:00:00"), Entry(2, "10:00:00"), file});

    // The status panel names the entry that will really be read.
    ASSERT_TRUE(timetable->Next());
    EXPECT_EQ(timetable->Next()->entry.id, 2);

    RunUntil(At(7, 9, 1));
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0].outcome, DueOutcome::SkippedDraftDeleted);
    EXPECT_EQ(played[1].outcome, DueOutcome::SkippedFileMissing);
    EXPECT_NE(SkippedEntryNote(Entry(1, "09:00:00"), DueOutcome::SkippedDraftDeleted)
                  .find("文稿已被删除"),
              std::string::npos);
}

TEST_F(TimetableTest, TheClockSetBackAnHourDoesNotPlayAnEntryTwice) {
    Start({Entry(1, "09:30:00"), Entry(2, "10:00:00"), Entry(3, "10:15:00")});
    RunUntil(At(7, 10, 5));
    EXPECT_EQ(PlayedIds(), (std::vector<std::int64_t>{1, 2}));
    clock.ShiftWall(-1h); // 09:05
    RunUntil(At(7, 10, 20));
    // 09:30 and 10:00 came round again and stayed silent; 10:15 is new.
    EXPECT_EQ(PlayedIds(), (std::vector<std::int64_t>{1, 2, 3}));
    RunUntil(At(8, 9, 31), 1s);
    EXPECT_EQ(PlayedIds(), (std::vector<std::int64_t>{1, 2, 3, 1}));
}

TEST_F(TimetableTest, AnEntryMovedToALaterTimeAfterPlayingPlaysAgainThere) {
    Start({Entry(1, "09:00:00")});
    RunUntil(At(7, 9, 5));
    timetable->SetEntries({Entry(1, "09:10:00")});
    RunUntil(At(7, 9, 15));
    EXPECT_EQ(PlayedIds(), (std::vector<std::int64_t>{1, 1}));
}

TEST_F(TimetableTest, TheClockSetForwardADayPlaysNoBurstOfOldEntries) {
    Start({Entry(1, "09:00:00"), Entry(2, "12:00:00"), Entry(3, "20:00:00"), Entry(4, "08:30:00")});
    RunUntil(At(7, 8, 10));
    clock.ShiftWall(24h); // Tuesday 08:10
    Tick();
    EXPECT_TRUE(played.empty());
    RunUntil(At(8, 9, 1), 1s);
    EXPECT_EQ(PlayedIds(), (std::vector<std::int64_t>{4, 1}));
    for (const Played& item : played)
        EXPECT_GE(item.wallMs, Ms(At(8, 8, 30)));
}

TEST_F(TimetableTest, AnEntryPassedOverInASuspendIsNotPlayedOnWaking) {
    Start({Entry(1, "09:00:00"), Entry(2, "09:40:00")});
    RunUntil(At(7, 8, 59, 50));
    clock.Suspend(30min); // the monotonic clock stands still
    RunUntil(At(7, 9, 41));
    EXPECT_EQ(PlayedIds(), std::vector<std::int64_t>{2});
    // The next day it plays again as usual.
    RunUntil(At(8, 9, 0, 1), 1s);
    EXPECT_EQ(PlayedIds(), (std::vector<std::int64_t>{2, 1}));
}

TEST_F(TimetableTest, AShortStallCatchesUpButAFrozenProgramDoesNot) {
    Start({Entry(1, "09:00:00"), Entry(2, "10:00:00")});
    RunUntil(At(7, 8, 59, 59));
    clock.Advance(2500ms); // a busy moment across 09:00:00
    Tick();
    ASSERT_EQ(PlayedIds(), std::vector<std::int64_t>{1});
    EXPECT_LT(played[0].wallMs - Ms(At(7, 9, 0)), 2000);

    RunUntil(At(7, 9, 59, 55));
    clock.Advance(10s); // frozen across 10:00:00
    Tick();
    EXPECT_EQ(PlayedIds(), std::vector<std::int64_t>{1});
}

TEST_F(TimetableTest, EntriesMissedBeforeTheProgramStartedAreNotPlayed) {
    clock.SetWall(At(7, 9, 0, 1));
    Start({Entry(1, "09:00:00"), Entry(2, "09:00:01")});
    RunUntil(At(7, 9, 5));
    EXPECT_EQ(PlayedIds(), std::vector<std::int64_t>{2}); // its own second counts
}

TEST_F(TimetableTest, TheNextEntryLooksAcrossDaysAndSkipsWhatHasPlayed) {
    TimetableRow off = Entry(3, "17:00:00");
    off.enabled = false;
    clock.SetWall(At(11, 8, 0)); // Friday
    Start({Entry(1, "09:00:00", kWeekdays), Entry(2, "18:00:00", DayBit(1)), off});
    auto next = timetable->Next();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->entry.id, 1);
    EXPECT_EQ(TimeOfDayText(next->when), "09:00:00");
    EXPECT_EQ(next->when.day, 11);

    RunUntil(At(11, 9, 0, 1));
    next = timetable->Next();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->entry.id, 1); // Monday's; the weekend has none
    EXPECT_EQ(next->when.day, 14);
    EXPECT_EQ(next->when.dayOfWeek, 1);

    timetable->SetEntries({off});
    EXPECT_FALSE(timetable->Next());
}
