#include "TimetableDriver.h"

#include "TimetableText.h"

#include <cstdio>

namespace sonvela {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// The speech object does not say when queued words have been played, so the
// end of the time announcement's words is reckoned from their length: a
// Chinese syllable takes about a quarter second at the normal rate, and the
// allowance is generous, since an entry starting early would cut the
// announcement's words off (a reading's segment purges the voice).
constexpr auto kAnnouncementPerCharacter = 400ms;
constexpr auto kAnnouncementTail = 1s;
// Until the words are handed over: the chime, then the words' delay.
constexpr auto kAnnouncementStart = 4s;

std::size_t Characters(const std::string& utf8) {
    std::size_t count = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80)
            ++count;
    return count;
}

std::string NowText(const LocalMoment& now) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %s", now.year, now.month, now.day,
                  TimeOfDayText(now).c_str());
    return text;
}

} // namespace

TimetableDriver::TimetableDriver(TimetableDriverPorts ports, SpeechVoice& voice,
                                 ReadingState& operatorState, ScheduleClock clock,
                                 std::filesystem::path logFile)
    : ports_(std::move(ports)), voice_(voice), operatorState_(operatorState), clock_(clock),
      timetable_(clock, {[this](std::int64_t id) { return ports_.draftById(id).has_value(); },
                         [](const std::string& file) {
                             std::error_code error;
                             return std::filesystem::is_regular_file(file, error);
                         }}),
      log_(std::move(logFile)) {}

TimetableDriver::~TimetableDriver() {
    // The reader's teardown cuts the voice off until the reader is gone.
    draftReader_.reset();
}

void TimetableDriver::SetEntries(std::vector<TimetableRow> entries) {
    timetable_.SetEntries(std::move(entries));
    lastPanelSecond_ = -1;
    ShowNext();
}

void TimetableDriver::Tick(bool timeAnnouncementDue) {
    const auto now = clock_.monotonic();
    if (timeAnnouncementDue &&
        (!announcementEnds_ || *announcementEnds_ < now + kAnnouncementStart))
        announcementEnds_ = now + kAnnouncementStart;
    const std::vector<DueEntry> due = timetable_.Tick();
    for (const DueEntry& item : due)
        if (item.outcome != DueOutcome::Read)
            Record(item.entry, "已跳过：" + item.note.substr(item.note.find("：") + 3));
    Execute(runner_.Due(due, ports_.operatorReading(), timeAnnouncementDue));
    if (runner_.Phase() == RunnerPhase::WaitingForSegmentEnd && ports_.operatorReaderGone())
        Execute(runner_.ReadingStopped());
    if (announcementEnds_ && now >= *announcementEnds_) {
        announcementEnds_.reset();
        Execute(runner_.TimeAnnouncementEnded());
    }
    if (runner_.Current() && operatorState_.isreading.load()) {
        // The operator started a reading of his own: it wins, as his Stop
        // would.
        Record(*runner_.Current(), "被操作员的朗读打断");
        CutPass();
        Execute(runner_.EntryStopped());
    }
    if (passRunning_ && PassOver())
        EndPass();
    Execute(runner_.Poll(clock_.monotonic()));
    ShowNext();
}

void TimetableDriver::TimeAnnouncementSpoken(const std::string& words) {
    WordsSpoken(words);
}

void TimetableDriver::WordsSpoken(const std::string& words) {
    const auto ends = clock_.monotonic() + kAnnouncementTail +
                      kAnnouncementPerCharacter * static_cast<int>(Characters(words));
    if (!announcementEnds_ || *announcementEnds_ < ends)
        announcementEnds_ = ends;
}

void TimetableDriver::OperatorStopped() {
    if (!runner_.Current())
        return;
    Record(*runner_.Current(), "被操作员停止");
    CutPass();
    Execute(runner_.EntryStopped());
}

RequestAnswer TimetableDriver::Say(const std::string& words) {
    if (IsBlank(words))
        return RequestAnswer::Refused("没有要读的文字");
    if (Characters(words) > kLongestSay)
        return RequestAnswer::Refused("文字太长：一次最多 " + std::to_string(kLongestSay) +
                                      " 个字，较长的文章请存为稿件后用 --read-draft 朗读");
    if (auto problem = ports_.speakOver(words))
        return RequestAnswer::Refused(*problem);
    // Like the time announcement's words, these are let finish by an entry
    // that falls due meanwhile.
    Execute(runner_.Due({}, false, true));
    WordsSpoken(words);
    if (!log_.Append({NowText(clock_.wall()), "其他程序：" + words, "已开始播报"}))
        ports_.note("无法写入播报记录");
    return RequestAnswer::Accepted();
}

RequestAnswer TimetableDriver::ReadDraft(const std::string& nameOrId) {
    const std::optional<DraftText> draft = ports_.findDraft(nameOrId);
    if (!draft)
        return RequestAnswer::Refused("没有找到稿件“" + nameOrId + "”");
    if (IsBlank(draft->text))
        return RequestAnswer::Refused("稿件“" + draft->name + "”没有内容");
    if (!ports_.voice(""))
        return RequestAnswer::Refused("没有可用的语音，无法朗读稿件");
    TimetableRow entry;
    entry.id = --requestIds_;
    entry.stime = TimeOfDayText(clock_.wall());
    entry.draftId = draft->id;
    Execute(runner_.Due({DueEntry{entry, DueOutcome::Read, {}}}, ports_.operatorReading(), false));
    return RequestAnswer::Accepted();
}

RequestAnswer TimetableDriver::StopAll() {
    if (runner_.Current())
        Record(*runner_.Current(), "被其他程序的停止请求停止");
    for (const TimetableRow& waiting : runner_.Waiting())
        Record(waiting, "被其他程序的停止请求取消");
    CutPass();
    runner_.StopAll();
    announcementEnds_.reset();
    return RequestAnswer::Accepted();
}

void TimetableDriver::Execute(const std::vector<RunnerCommand>& commands) {
    for (const RunnerCommand& command : commands) {
        switch (command.kind) {
        case RunnerCommand::Kind::StopAfterSegment:
            ports_.stopOperatorReading();
            break;
        case RunnerCommand::Kind::Note:
            ports_.note(command.note);
            break;
        case RunnerCommand::Kind::Start:
            StartPass(command.entry, command.pass);
            break;
        }
    }
}

void TimetableDriver::StartPass(const TimetableRow& entry, int pass) {
    pass_ = pass;
    if (pass == 1)
        startedAt_ = {entry.id, NowText(clock_.wall())};
    passRunning_ = false;
    std::optional<std::string> problem;
    if (entry.draftId) {
        const std::optional<DraftText> draft = ports_.draftById(*entry.draftId);
        const std::optional<ReadingVoice> voice = ports_.voice(entry.voice);
        if (!draft) {
            problem = SkippedEntryNote(entry, DueOutcome::SkippedDraftDeleted);
        } else if (!voice) {
            problem = "定时播报 " + entry.stime + " 没有可用的语音，未能朗读";
        } else {
            GbkString text = Utf8ToGbk(draft->text);
            GbkString traditional = voice->cantonese ? ports_.traditional(text) : GbkString();
            // The last pass's reader has ended: its teardown is at once.
            draftReader_.reset();
            draftPort_ = std::make_unique<DraftTextPort>(std::move(text), std::move(traditional),
                                                         ports_.reportError);
            draftReader_ = std::make_unique<ReaderHost>(draftState_, voice_, *draftPort_);
            // The operator's pauses and date format apply to drafts as well.
            draftState_.SetDelaySymbols(*operatorState_.delaySymbols());
            draftState_.signdelay = operatorState_.signdelay.load();
            draftState_.datetimetype = operatorState_.datetimetype.load();
            draftState_.enableafter = false;
            draftReader_->gundong1(*voice);
            passRunning_ = true; // a blank draft's reading is over at once
        }
    } else if (auto soundProblem = sound_.Play(entry.fileName)) {
        problem = "定时播报 " + entry.stime + "：" + *soundProblem;
    } else {
        passRunning_ = true;
    }
    if (problem) {
        ports_.note(*problem);
        Record(entry, "未能播放：" + *problem);
        Execute(runner_.EntryStopped());
    }
}

bool TimetableDriver::PassOver() const {
    if (runner_.Current() && runner_.Current()->draftId)
        return !draftState_.isreading.load();
    return !sound_.Playing();
}

void TimetableDriver::EndPass() {
    passRunning_ = false;
    const TimetableRow entry = *runner_.Current();
    if (entry.draftId && draftState_.readfailed.load()) {
        Record(entry, "朗读出错");
        Execute(runner_.EntryStopped());
        return;
    }
    if (pass_ >= std::max(entry.passes, 1))
        Record(entry, entry.passes > 1 ? "已播放 " + std::to_string(entry.passes) + " 遍"
                                       : std::string("已播放"));
    Execute(runner_.PassFinished(clock_.monotonic()));
}

void TimetableDriver::CutPass() {
    passRunning_ = false;
    sound_.Stop();
    if (draftState_.isreading.load()) {
        draftState_.stopreading = true;
        // The segment under way ends now, not at its end.
        voice_.CutOff();
    }
}

void TimetableDriver::Record(const TimetableRow& entry, const std::string& outcome) {
    const std::string who = entry.id < 0 ? "其他程序的请求 " : "定时播报 ";
    // An entry that started is logged at its start, which is what a shop
    // checks against the entry's time.
    const std::string when =
        startedAt_.first == entry.id ? startedAt_.second : NowText(clock_.wall());
    if (!log_.Append({when, who + entry.stime + " " + Title(entry), outcome}))
        ports_.note("无法写入播报记录");
}

std::string TimetableDriver::Title(const TimetableRow& entry) const {
    if (entry.draftId) {
        if (const auto draft = ports_.draftById(*entry.draftId))
            return draft->name;
        return "（已删除的稿件）";
    }
    return std::filesystem::path(entry.fileName).filename().string();
}

void TimetableDriver::ShowNext() {
    const LocalMoment now = clock_.wall();
    const std::int64_t second = LocalSeconds(now);
    if (second == lastPanelSecond_)
        return;
    lastPanelSecond_ = second;
    if (timetable_.Entries().empty()) {
        ports_.nextEntryPanel({});
        return;
    }
    const std::optional<NextEntry> next = timetable_.Next();
    ports_.nextEntryPanel(NextEntryPanelText(next, now, next ? Title(next->entry) : std::string()));
}

} // namespace sonvela
