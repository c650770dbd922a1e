#include "TimetableRunner.h"

#include <algorithm>

namespace sonvela {
namespace {

RunnerCommand Note(std::string text) {
    return {RunnerCommand::Kind::Note, {}, std::move(text)};
}

} // namespace

std::vector<RunnerCommand> TimetableRunner::Due(const std::vector<DueEntry>& due,
                                                bool readingRunning, bool timeAnnouncementDue) {
    std::vector<RunnerCommand> commands;
    bool anyToRead = false;
    for (const DueEntry& item : due) {
        if (item.outcome != DueOutcome::Read) {
            commands.push_back(Note(item.note));
            continue;
        }
        waiting_.push_back(item.entry);
        anyToRead = true;
    }
    // The announcement speaks over whatever is playing; an entry that has not
    // started yet lets it finish first.
    if (timeAnnouncementDue)
        awaitingAnnouncement_ = true;
    if (current_ || waiting_.empty())
        return commands; // an entry reads: the new ones wait their turn behind it
    if (anyToRead && readingRunning && !awaitingSegment_) {
        awaitingSegment_ = true;
        commands.push_back({RunnerCommand::Kind::StopAfterSegment, {}, {}});
        commands.push_back(
            Note("定时播报 " + waiting_.front().stime + " 到时，当前段落读完后开始"));
    }
    auto started = StartIfFree();
    commands.insert(commands.end(), started.begin(), started.end());
    return commands;
}

std::vector<RunnerCommand> TimetableRunner::TimeAnnouncementEnded() {
    awaitingAnnouncement_ = false;
    return StartIfFree();
}

std::vector<RunnerCommand> TimetableRunner::ReadingStopped() {
    if (awaitingSegment_)
        interruptedReading_ = true;
    awaitingSegment_ = false;
    return StartIfFree();
}

std::vector<RunnerCommand>
TimetableRunner::PassFinished(std::chrono::steady_clock::time_point now) {
    if (!current_ || nextPassAt_)
        return {};
    if (pass_ >= std::max(current_->passes, 1))
        return FinishEntry();
    nextPassAt_ = now + std::chrono::seconds(std::max(current_->intervalSeconds, 0));
    return Poll(now);
}

std::vector<RunnerCommand> TimetableRunner::Poll(std::chrono::steady_clock::time_point now) {
    if (!current_ || !nextPassAt_ || now < *nextPassAt_)
        return {};
    nextPassAt_.reset();
    ++pass_;
    return {{RunnerCommand::Kind::Start, *current_, {}, pass_}};
}

std::vector<RunnerCommand> TimetableRunner::EntryStopped() {
    if (!current_)
        return {};
    return FinishEntry();
}

void TimetableRunner::StopAll() {
    waiting_.clear();
    current_.reset();
    nextPassAt_.reset();
    pass_ = 0;
    awaitingSegment_ = false;
    awaitingAnnouncement_ = false;
    interruptedReading_ = false;
}

std::vector<RunnerCommand> TimetableRunner::FinishEntry() {
    current_.reset();
    nextPassAt_.reset();
    pass_ = 0;
    return StartIfFree();
}

std::vector<RunnerCommand> TimetableRunner::StartIfFree() {
    if (current_ || waiting_.empty() || awaitingSegment_ || awaitingAnnouncement_)
        return {};
    current_ = waiting_.front();
    waiting_.pop_front();
    pass_ = 1;
    std::vector<RunnerCommand> commands;
    if (interruptedReading_) {
        interruptedReading_ = false;
        commands.push_back(Note("定时播报 " + current_->stime + " 开始，被打断的朗读不再继续"));
    }
    commands.push_back({RunnerCommand::Kind::Start, *current_, {}, pass_});
    return commands;
}

RunnerPhase TimetableRunner::Phase() const {
    if (current_)
        return nextPassAt_ ? RunnerPhase::BetweenPasses : RunnerPhase::Reading;
    if (awaitingSegment_)
        return RunnerPhase::WaitingForSegmentEnd;
    if (awaitingAnnouncement_ && !waiting_.empty())
        return RunnerPhase::WaitingForTimeAnnouncement;
    return RunnerPhase::Idle;
}

} // namespace sonvela
