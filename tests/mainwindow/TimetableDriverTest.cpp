// The timetable carried out: an entry around the operator's reading and the
// time announcement, its passes, the log, and other programs' requests,
// under a hand-driven clock with a test voice.
#include "TimetableDriver.h"

#include "../data/TempFolder.h"
#include "../schedule/TimetableTestSupport.h"
#include "TestSpeechVoice.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <map>
#include <thread>

using namespace sonvela;
using namespace sonvela::test;
using namespace std::chrono_literals;

namespace {

class TimetableDriverTest : public ::testing::Test {
protected:
    TimetableDriverTest() : clock(At(7, 8, 59, 58)) {
        drafts[7] = {7, "开门问候", "各位顾客早上好。欢迎光临！"};
        drafts[8] = {8, "空白", "  "};
        // The operator's pauses, which a draft's reading takes over.
        getdelaystring(operatorState, {{Utf8ToGbk("。"), 0, true}, {Utf8ToGbk("！"), 0, true}});
        TimetableDriverPorts ports;
        ports.operatorReading = [this] { return operatorReading; };
        ports.stopOperatorReading = [this] { ++operatorStops; };
        ports.operatorReaderGone = [this] { return operatorReaderGone; };
        ports.draftById = [this](std::int64_t id) -> std::optional<DraftText> {
            const auto found = drafts.find(id);
            return found == drafts.end() ? std::nullopt : std::optional(found->second);
        };
        ports.findDraft = [this](const std::string& name) -> std::optional<DraftText> {
            for (const auto& [id, draft] : drafts)
                if (draft.name == name || std::to_string(id) == name)
                    return draft;
            return std::nullopt;
        };
        ports.voice = [this](const std::string&) -> std::optional<ReadingVoice> {
            if (!voiceAvailable)
                return std::nullopt;
            return ReadingVoice{0, false};
        };
        ports.traditional = [](const GbkString& text) { return text; };
        ports.note = [this](const std::string& text) { notes.push_back(text); };
        ports.nextEntryPanel = [this](const std::string& text) { panel = text; };
        ports.speakOver = [this](const std::string& words) -> std::optional<std::string> {
            said.push_back(words);
            return std::nullopt;
        };
        ports.reportError = [this](std::string fault) { faults.push_back(fault); };
        driver = std::make_unique<TimetableDriver>(std::move(ports), voice, operatorState,
                                                   clock.Clock(), folder.File("log/a.log"));
    }

    TimetableRow Entry(std::int64_t id, const std::string& time, int passes = 1, int interval = 0) {
        TimetableRow row;
        row.id = id;
        row.stime = time;
        row.draftId = 7;
        row.passes = passes;
        row.intervalSeconds = interval;
        return row;
    }

    // Ticks every 200 ms of the fake clock (real time passing too, for the
    // draft's reader thread) until `done`, at most `limit` of fake time.
    template <typename Done> bool TickUntil(Done done, std::chrono::seconds limit = 20s) {
        QElapsedTimer real;
        real.start();
        for (auto passed = 0ms; passed < limit && real.elapsed() < 20000; passed += 200ms) {
            clock.Advance(200ms);
            driver->Tick(false);
            if (done())
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return done();
    }
    bool Spoken(const std::string& utf8) const {
        for (const GbkString& text : voice.SpokenTexts())
            if (text == Utf8ToGbk(utf8))
                return true;
        return false;
    }
    std::vector<LogRecord> Log() const { return driver->Log().Recent(20); }
    bool Noted(const std::string& part) const {
        for (const std::string& note : notes)
            if (note.find(part) != std::string::npos)
                return true;
        return false;
    }

    TempFolder folder;
    FakeScheduleClock clock;
    TestSpeechVoice voice{std::chrono::microseconds(5)};
    ReadingState operatorState;
    std::map<std::int64_t, DraftText> drafts;
    bool operatorReading = false;
    bool operatorReaderGone = true;
    bool voiceAvailable = true;
    int operatorStops = 0;
    std::vector<std::string> notes, said, faults;
    std::string panel;
    std::unique_ptr<TimetableDriver> driver;
};

} // namespace

TEST_F(TimetableDriverTest, AnEntryDuringAReadingWaitsForTheSegmentThenReadsItsDraftAndIsLogged) {
    driver->SetEntries({Entry(1, "09:00:00")});
    EXPECT_EQ(panel.rfind("下一条定时播报：今天 09:00:00 开门问候", 0), 0u) << panel;
    operatorReading = true;
    operatorReaderGone = false;
    ASSERT_TRUE(TickUntil([&] { return operatorStops > 0; }, 5s));
    EXPECT_TRUE(Noted("当前段落读完后开始"));
    // The operator's segment is still being spoken: the draft waits.
    TickUntil([] { return false; }, 1s);
    EXPECT_TRUE(voice.SpokenTexts().empty());

    operatorReading = false;
    operatorReaderGone = true;
    ASSERT_TRUE(TickUntil([&] { return !Log().empty(); }));
    EXPECT_TRUE(Spoken("各位顾客早上好。"));
    EXPECT_TRUE(Spoken("欢迎光临！"));
    EXPECT_TRUE(Noted("被打断的朗读不再继续"));
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].when.substr(0, 18), "2026-12-07 09:00:0");
    EXPECT_EQ(Log()[0].what, "定时播报 09:00:00 开门问候");
    EXPECT_EQ(Log()[0].outcome, "已播放");
    EXPECT_FALSE(driver->EntryActive());
    EXPECT_EQ(operatorStops, 1);
    // Tomorrow's is next.
    EXPECT_EQ(panel.rfind("下一条定时播报：明天 09:00:00", 0), 0u) << panel;
}

TEST_F(TimetableDriverTest, PassesWaitTheirIntervalAndAreLoggedOnceAtTheEnd) {
    driver->SetEntries({Entry(1, "09:00:00", 2, 5)});
    ASSERT_TRUE(TickUntil([&] { return voice.SpokenTexts().size() == 2; }));
    const std::int64_t firstEnded = clock.WallMs();
    // The second pass only after five seconds of silence.
    ASSERT_TRUE(TickUntil([&] { return voice.SpokenTexts().size() > 2; }, 10s));
    EXPECT_GE(clock.WallMs() - firstEnded, 5000);
    // Not logged between the passes.
    EXPECT_TRUE(voice.SpokenTexts().size() == 4 || Log().empty());
    ASSERT_TRUE(TickUntil([&] { return !Log().empty(); }));
    EXPECT_EQ(voice.SpokenTexts().size(), 4u);
    EXPECT_EQ(Log()[0].outcome, "已播放 2 遍");
    EXPECT_EQ(Log().size(), 1u);
}

TEST_F(TimetableDriverTest, ATimeAnnouncementOfTheSameSecondIsLetFinishItsWords) {
    driver->SetEntries({Entry(1, "09:00:00")});
    ASSERT_TRUE(TickUntil([&] { return clock.WallMs() % 60000 == 59800; }, 5s));
    // The tick at 09:00:00 found both due. The words go to the voice later.
    clock.Advance(200ms);
    driver->Tick(true);
    TickUntil([] { return false; }, 1s);
    EXPECT_TRUE(voice.SpokenTexts().empty());
    driver->TimeAnnouncementSpoken("现在是北京时间09:00正");
    TickUntil([] { return false; }, 4s);
    EXPECT_TRUE(voice.SpokenTexts().empty()) << "the entry cut the announcement's words off";
    ASSERT_TRUE(TickUntil([&] { return !voice.SpokenTexts().empty(); }, 10s));
}

TEST_F(TimetableDriverTest, AFileThatCannotBePlayedIsNotedAndLoggedAndAMissingOneSkipped) {
    const std::string junk = folder.File("junk.mp3");
    std::FILE* file = std::fopen(junk.c_str(), "wb");
    ASSERT_TRUE(file);
    std::fputs("no sound in here", file);
    std::fclose(file);
    TimetableRow bad = Entry(1, "09:00:00");
    bad.draftId.reset();
    bad.fileName = junk;
    TimetableRow gone = Entry(2, "09:00:00");
    gone.draftId.reset();
    gone.fileName = folder.File("gone.wav");
    driver->SetEntries({bad, gone});
    ASSERT_TRUE(TickUntil([&] { return !Log().empty(); }, 5s));
    EXPECT_EQ(Log()[0].what, "定时播报 09:00:00 junk.mp3");
    EXPECT_EQ(Log()[0].outcome.rfind("未能播放", 0), 0u) << Log()[0].outcome;
    EXPECT_TRUE(Noted("junk.mp3"));
    EXPECT_TRUE(Noted("gone.wav"));
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[1].outcome.rfind("已跳过：找不到声音文件", 0), 0u) << Log()[1].outcome;
    EXPECT_FALSE(driver->EntryActive());
}

TEST_F(TimetableDriverTest, TheOperatorsOwnReadingOrStopEndsTheEntry) {
    driver->SetEntries({Entry(1, "09:00:00", 3, 1)});
    ASSERT_TRUE(TickUntil([&] { return driver->EntryActive(); }, 5s));
    operatorState.isreading = true; // the operator pressed a reading command
    ASSERT_TRUE(TickUntil([&] { return !driver->EntryActive(); }, 2s));
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].outcome, "被操作员的朗读打断");

    operatorState.isreading = false;
    ASSERT_EQ(driver->ReadDraft("开门问候"), RequestAnswer::Accepted());
    EXPECT_TRUE(driver->EntryActive());
    driver->OperatorStopped();
    EXPECT_FALSE(driver->EntryActive());
    EXPECT_EQ(Log()[0].outcome, "被操作员停止");
    EXPECT_EQ(Log()[0].what.rfind("其他程序的请求 ", 0), 0u) << Log()[0].what;
}

TEST_F(TimetableDriverTest, RequestsAreRefusedWithTheirReasonOrCarriedOut) {
    EXPECT_EQ(driver->ReadDraft("没有这个稿件"),
              RequestAnswer::Refused("没有找到稿件“没有这个稿件”"));
    EXPECT_EQ(driver->ReadDraft("空白"), RequestAnswer::Refused("稿件“空白”没有内容"));
    EXPECT_FALSE(driver->Say(" \n").accepted);
    EXPECT_FALSE(driver->Say(std::string(TimetableDriver::kLongestSay + 1, 'a')).accepted);
    EXPECT_TRUE(said.empty());
    voiceAvailable = false;
    EXPECT_FALSE(driver->ReadDraft("开门问候").accepted);
    voiceAvailable = true;

    EXPECT_EQ(driver->Say("请A023号到3号窗口"), RequestAnswer::Accepted());
    EXPECT_EQ(said, std::vector<std::string>{"请A023号到3号窗口"});
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].what, "其他程序：请A023号到3号窗口");

    // A draft by its id, during the operator's reading: it waits for the
    // segment like an entry.
    operatorReading = true;
    operatorReaderGone = false;
    EXPECT_EQ(driver->ReadDraft("7"), RequestAnswer::Accepted());
    EXPECT_EQ(operatorStops, 1);
    EXPECT_EQ(driver->StopAll(), RequestAnswer::Accepted());
    EXPECT_FALSE(driver->EntryActive());
    operatorReaderGone = true;
    TickUntil([] { return false; }, 1s);
    EXPECT_TRUE(voice.SpokenTexts().empty()) << "a stopped request still read";
    EXPECT_EQ(Log()[0].outcome, "被其他程序的停止请求取消");
}

TEST_F(TimetableDriverTest, WordsSaidForAnotherProgramAreLetFinishByAnEntryDueMeanwhile) {
    driver->SetEntries({Entry(1, "09:00:00")});
    // Two seconds before the entry: its words would still be sounding.
    ASSERT_EQ(driver->Say("请A023号到3号窗口"), RequestAnswer::Accepted());
    TickUntil([] { return false; }, 4s);
    EXPECT_TRUE(voice.SpokenTexts().empty()) << "the entry cut the words off";
    ASSERT_TRUE(TickUntil([&] { return !voice.SpokenTexts().empty(); }, 10s));
}
