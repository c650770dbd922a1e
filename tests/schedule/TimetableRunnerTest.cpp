// The order of things around a due timetable entry: the operator's reading
// ends its segment first, a time announcement of the same second goes
// first, entries wait in line behind each other.
#include "TimetableRunner.h"

#include <gtest/gtest.h>

using namespace sonvela;
using Kind = RunnerCommand::Kind;
using namespace std::chrono_literals;

namespace {

DueEntry Due(std::int64_t id, DueOutcome outcome = DueOutcome::Read) {
    TimetableRow row;
    row.id = id;
    row.stime = "09:00:00";
    row.draftId = id;
    return {row, outcome, outcome == DueOutcome::Read ? "" : SkippedEntryNote(row, outcome)};
}

const std::chrono::steady_clock::time_point t0{1000h};

std::vector<Kind> Kinds(const std::vector<RunnerCommand>& commands) {
    std::vector<Kind> kinds;
    for (const RunnerCommand& command : commands)
        kinds.push_back(command.kind);
    return kinds;
}

std::int64_t Started(const std::vector<RunnerCommand>& commands) {
    for (const RunnerCommand& command : commands)
        if (command.kind == Kind::Start)
            return command.entry.id;
    return 0;
}

} // namespace

TEST(TimetableRunner, WithNothingPlayingTwoEntriesOfOneSecondReadOneAfterTheOther) {
    TimetableRunner runner;
    EXPECT_EQ(Started(runner.Due({Due(1), Due(2)}, false, false)), 1);
    EXPECT_EQ(runner.Phase(), RunnerPhase::Reading);
    // The operator's reading does not apply to an entry: no segment wait.
    EXPECT_EQ(Kinds(runner.Due({Due(3)}, true, false)), std::vector<Kind>{});
    EXPECT_EQ(runner.WaitingCount(), 2u);
    EXPECT_EQ(Started(runner.PassFinished(t0)), 2);
    EXPECT_EQ(Started(runner.PassFinished(t0)), 3);
    EXPECT_TRUE(runner.PassFinished(t0).empty());
    EXPECT_EQ(runner.Phase(), RunnerPhase::Idle);
}

TEST(TimetableRunner, AnEntryDueDuringAReadingWaitsForTheSegmentAndSaysItWillNotResume) {
    TimetableRunner runner;
    const auto due = runner.Due({Due(1)}, true, false);
    EXPECT_EQ(Kinds(due), (std::vector<Kind>{Kind::StopAfterSegment, Kind::Note}));
    EXPECT_EQ(runner.Phase(), RunnerPhase::WaitingForSegmentEnd);
    // A second entry due while waiting does not ask again.
    EXPECT_EQ(Kinds(runner.Due({Due(2)}, true, false)), std::vector<Kind>{});

    const auto stopped = runner.ReadingStopped();
    ASSERT_EQ(Kinds(stopped), (std::vector<Kind>{Kind::Note, Kind::Start}));
    EXPECT_NE(stopped[0].note.find("不再继续"), std::string::npos);
    EXPECT_EQ(stopped[1].entry.id, 1);
    EXPECT_EQ(runner.Phase(), RunnerPhase::Reading);
    // The note is given once, for the entry that cut the reading.
    EXPECT_EQ(Kinds(runner.PassFinished(t0)), std::vector<Kind>{Kind::Start});
}

TEST(TimetableRunner, ATimeAnnouncementOfTheSameSecondGoesFirst) {
    TimetableRunner runner;
    EXPECT_TRUE(runner.Due({Due(1)}, false, true).empty());
    EXPECT_EQ(runner.Phase(), RunnerPhase::WaitingForTimeAnnouncement);
    EXPECT_EQ(Started(runner.TimeAnnouncementEnded()), 1);

    // With a reading too, the entry starts once both are over, in either order.
    for (const bool announcementEndsFirst : {true, false}) {
        TimetableRunner both;
        EXPECT_EQ(Kinds(both.Due({Due(2)}, true, true)),
                  (std::vector<Kind>{Kind::StopAfterSegment, Kind::Note}));
        const auto first =
            announcementEndsFirst ? both.TimeAnnouncementEnded() : both.ReadingStopped();
        EXPECT_EQ(Started(first), 0);
        const auto second =
            announcementEndsFirst ? both.ReadingStopped() : both.TimeAnnouncementEnded();
        EXPECT_EQ(Started(second), 2);
    }
}

TEST(TimetableRunner, PassesAreSeparatedByTheIntervalAndStopDropsTheRest) {
    DueEntry entry = Due(1);
    entry.entry.passes = 3;
    entry.entry.intervalSeconds = 10;
    TimetableRunner runner;
    auto commands = runner.Due({entry, Due(2)}, false, false);
    ASSERT_EQ(Started(commands), 1);
    EXPECT_EQ(commands.back().pass, 1);

    EXPECT_TRUE(runner.PassFinished(t0).empty());
    EXPECT_EQ(runner.Phase(), RunnerPhase::BetweenPasses);
    // A late or repeated end report does not start a pass early.
    EXPECT_TRUE(runner.PassFinished(t0 + 5s).empty());
    EXPECT_TRUE(runner.Poll(t0 + 9900ms).empty());
    commands = runner.Poll(t0 + 10s);
    ASSERT_EQ(Started(commands), 1);
    EXPECT_EQ(commands.back().pass, 2);
    EXPECT_TRUE(runner.Poll(t0 + 20s).empty()); // the pass runs: no other starts

    // Stop during the second pass: the third never comes, the next entry does.
    EXPECT_EQ(Started(runner.EntryStopped()), 2);
    EXPECT_TRUE(runner.Poll(t0 + 60s).empty());
    EXPECT_TRUE(runner.PassFinished(t0 + 61s).empty());
    EXPECT_EQ(runner.Phase(), RunnerPhase::Idle);
}

TEST(TimetableRunner, SkippedEntriesOnlyLeaveANote) {
    TimetableRunner runner;
    const auto commands =
        runner.Due({Due(1, DueOutcome::SkippedDraftDeleted), Due(2)}, false, false);
    ASSERT_EQ(Kinds(commands), (std::vector<Kind>{Kind::Note, Kind::Start}));
    EXPECT_NE(commands[0].note.find("已跳过"), std::string::npos);
    EXPECT_EQ(commands[1].entry.id, 2);
    // A reading that stops on its own, with no entry waiting, changes nothing.
    EXPECT_TRUE(TimetableRunner().ReadingStopped().empty());
}

TEST(TimetableRunner, StopAllDropsTheWaitingEntriesAndTheWaitForTheReading) {
    TimetableRunner runner;
    // Reading: the first entry waits for the segment, the second behind it.
    EXPECT_EQ(Kinds(runner.Due({Due(1), Due(2)}, true, true)),
              (std::vector{Kind::StopAfterSegment, Kind::Note}));
    runner.StopAll();
    EXPECT_EQ(runner.Phase(), RunnerPhase::Idle);
    EXPECT_EQ(runner.WaitingCount(), 0u);
    // The reading's end and the announcement's end start nothing now.
    EXPECT_TRUE(runner.ReadingStopped().empty());
    EXPECT_TRUE(runner.TimeAnnouncementEnded().empty());
    // A later entry starts at once, without the note of an interrupted
    // reading that was stopped by the stop request, not by the entry.
    EXPECT_EQ(Kinds(runner.Due({Due(3)}, false, false)), (std::vector{Kind::Start}));
}
